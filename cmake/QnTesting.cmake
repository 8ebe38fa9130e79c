# qn_add_gtest(name SOURCES a.cpp ... LIBS lib ...)
# One GoogleTest executable; its cases are registered with CTest one by one.
function(qn_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT QN_TESTS)
    return()
  endif()
  find_package(GTest REQUIRED)
  if(NOT TARGET qn_test_main)
    add_library(qn_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
    target_link_libraries(qn_test_main PUBLIC GTest::gtest)
    target_include_directories(qn_test_main PUBLIC ${PROJECT_SOURCE_DIR}/tests/support)
    # How a test starts one of the build's programs: through the emulator
    # of a cross build, as a shell command prefix.
    set(run "")
    foreach(word ${CMAKE_CROSSCOMPILING_EMULATOR})
      string(APPEND run "'${word}' ")
    endforeach()
    target_compile_definitions(qn_test_main PRIVATE QN_TEST_DATA_DIR="${QN_DATA_DIR}"
      QN_TEST_BIN_DIR="${CMAKE_BINARY_DIR}" QN_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      QN_TEST_RUN="${run}")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} qn_test_main GTest::gtest)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120)
endfunction()

# qn_add_script_test(name script.sh [LABELS l] [TIMEOUT s])
# An end-to-end test: a shell script run with the build and data folders in its environment.
# A cross build leaves them out: they drive the programs, a display and a sound
# server as a user's machine has them, which is the native build's business.
function(qn_add_script_test name script)
  cmake_parse_arguments(T "" "TIMEOUT" "LABELS" ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # In a session of its own with nothing on standard input: no program the
  # script starts can read or stop on the terminal of whoever runs the suite
  # (a test that needs a terminal makes its own, in tmux).
  add_test(NAME ${name} COMMAND sh -c "exec setsid -w bash \"$0\" </dev/null" ${script})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QN_DATA_DIR=${QN_DATA_DIR};QN_BIN_DIR=${CMAKE_BINARY_DIR};QN_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# A cross build's emulator: run-target PROGRAM ARGS... runs a target program
# the way the toolchain file chose (QN_TARGET_RUN).
if(CMAKE_CROSSCOMPILING AND QN_TARGET_RUN)
  set(words "")
  foreach(word ${QN_TARGET_RUN})
    string(APPEND words " '${word}'")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/run-target "#!/bin/sh\nexec${words} \"$@\"\n")
  file(CHMOD ${CMAKE_BINARY_DIR}/run-target PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
