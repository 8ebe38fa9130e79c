// The main of every GoogleTest program: the build's folders reach the tests
// through the same variables the script tests get, unless already set, and
// QN_RUN says how to start the build's programs (an emulator's command in a
// cross build, empty otherwise).
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QN_DATA_DIR", QN_TEST_DATA_DIR, 0);
  setenv("QN_BIN_DIR", QN_TEST_BIN_DIR, 0);
  setenv("QN_SOURCE_DIR", QN_TEST_SOURCE_DIR, 0);
  setenv("QN_RUN", QN_TEST_RUN, 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
