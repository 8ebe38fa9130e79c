# qn_add_gtest(name SOURCES a.cpp ... LIBS lib ...)
# One GoogleTest executable; its cases are registered with CTest one by one.
function(qn_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT QN_TESTS)
    return()
  endif()
  find_package(GTest REQUIRED)
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QN_DATA_DIR=${QN_DATA_DIR};QN_BIN_DIR=${CMAKE_BINARY_DIR};QN_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# qn_add_script_test(name script.sh [LABELS l] [TIMEOUT s])
# An end-to-end test: a shell script run with the build and data folders in its environment.
function(qn_add_script_test name script)
  cmake_parse_arguments(T "" "TIMEOUT" "LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND bash ${script})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QN_DATA_DIR=${QN_DATA_DIR};QN_BIN_DIR=${CMAKE_BINARY_DIR};QN_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
