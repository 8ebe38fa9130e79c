// qn: SDL, a window on request: "-w" (or any first argument beginning so)
// for the picture's size, "-w2" to "-w8" for that many times as large,
// "-wfit" for the largest of those that suits the desktop.
#include <cstdio>
#include <cstring>

#include "control/program.h"
#include "display/display.h"

int program_start(int argc, char** argv) {
  std::printf("%s\n\n", "*** ZORV Linux startup using SDL and mikmod ***");
  std::printf("./qn -w for windowed mode\n\n");
  if (argc < 2 || std::strncmp(argv[1], "-w", 2) != 0) return 0;
  if (std::strcmp(argv[1], "-wfit") == 0) return DISPLAY_WINDOW_FIT;
  const char* factor = argv[1] + 2;
  return factor[0] >= '2' && factor[0] <= '8' && factor[1] == '\0' ? factor[0] - '0' : 1;
}

bool program_display_ready() { return true; }
