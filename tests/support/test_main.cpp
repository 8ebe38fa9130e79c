// The main of every GoogleTest program: the build's folders reach the tests
// through the same variables the script tests get, unless already set, and
// QN_RUN says how to start the build's programs (an emulator's command in a
// cross build, empty otherwise).
//
// A test never touches the terminal of whoever runs the suite: standard
// input is /dev/null and the process gives up its controlling terminal, so
// a key typed meanwhile reaches nothing here and /dev/tty opens nothing
// (a test that needs a terminal makes its own pseudo-terminal).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

namespace {
void leave_the_terminal() {
  const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    close(null);
  }
  const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (tty >= 0) {
    ioctl(tty, TIOCNOTTY);
    close(tty);
  }
}
}  // namespace

int main(int argc, char** argv) {
  leave_the_terminal();
  setenv("QN_DATA_DIR", QN_TEST_DATA_DIR, 0);
  setenv("QN_BIN_DIR", QN_TEST_BIN_DIR, 0);
  setenv("QN_SOURCE_DIR", QN_TEST_SOURCE_DIR, 0);
  setenv("QN_RUN", QN_TEST_RUN, 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
