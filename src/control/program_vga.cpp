// qn-vga: the console, no arguments; each frame goes through the converter
// for the depth of the mode that was set.
#include <cstdio>

#include "control/program.h"
#include "display/display_vga.h"

int program_start(int, char**) {
  std::printf("%s\n\n", "*** ZORV Linux startup using svgalib and mikmod ***");
  return 0;
}

bool program_display_ready() {
  if (vga_choose_converter()) return true;
  std::printf("Invalid filepointer allocation\n");
  return false;
}
