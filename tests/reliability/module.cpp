// reliability_module OUT.xm POSITIONS ROWS: a well-formed module of the given
// shape at a quick pace (speed 1, BPM 250: 10 ms a row), for runs that need a
// song too short for the closing row, or one that reaches it in a second
// (43 positions, 40 rows).
#include <cstdio>
#include <cstdlib>

#include "test_modules.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: reliability_module OUT.xm POSITIONS ROWS\n");
    return 2;
  }
  const int positions = std::atoi(argv[2]), rows = std::atoi(argv[3]);
  if (positions < 1 || positions > 255 || rows < 1 || rows > 256) {
    std::fprintf(stderr, "reliability_module: positions 1..255, rows 1..256\n");
    return 2;
  }
  const XmModule m = test_module({.positions = positions, .rows = rows, .speed = 1, .bpm = 250});
  return xm_save(m, argv[1]) ? 0 : 1;
}
