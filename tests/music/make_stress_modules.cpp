// The two modules of the stress test: "long.xm" keeps the demo in its first
// scene for minutes with sound all the way; "silent.xm" ends after one row,
// so the timer runs on without any mixing, in the same scene.
#include <string>

#include "test_modules.h"

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  XmModule sound = test_module({.positions = 2, .rows = 64, .speed = 31, .bpm = 32});  // 310 s
  XmModule silent = test_module({.positions = 1, .rows = 1, .speed = 1, .bpm = 255});
  return xm_save(sound, (dir + "/long.xm").c_str()) && xm_save(silent, (dir + "/silent.xm").c_str())
             ? 0
             : 1;
}
