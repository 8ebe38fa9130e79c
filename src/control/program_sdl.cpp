// qn: SDL, a window on request.
#include <cstdio>
#include <cstring>

#include "control/program.h"

int program_start(int argc, char** argv) {
  std::printf("%s\n\n", "*** ZORV Linux startup using SDL and mikmod ***");
  std::printf("./qn -w for windowed mode\n\n");
  return argc > 1 && std::strncmp(argv[1], "-w", 2) == 0 ? 1 : 0;
}

bool program_display_ready() { return true; }
