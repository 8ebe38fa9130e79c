# qn_add_subfolders()
# Adds every folder under the current one that has a CMakeLists.txt, in name
# order, so a new subsystem's tests, benchmarks or tool need no edit above it.
function(qn_add_subfolders)
  file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir ${entries})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
