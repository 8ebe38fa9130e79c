// Entry point of qn (SDL) and qn-vga (console); the program is chosen at
// build time and differs only in the banner, the window switch and, on the
// console, the choice of pixel converter.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "control/demo.h"
#include "display/display.h"
#include "music/music.h"
#if QN_PROGRAM_VGA
#include "display/display_vga.h"
#endif

int main(int argc, char** argv) {
  int windowed = 0;
#if QN_PROGRAM_VGA
  (void)argc;
  (void)argv;
  std::printf("%s\n\n", "*** ZORV Linux startup using svgalib and mikmod ***");
#else
  std::printf("%s\n\n", "*** ZORV Linux startup using SDL and mikmod ***");
  std::printf("./qn -w for windowed mode\n\n");
  if (argc > 1 && std::strncmp(argv[1], "-w", 2) == 0) windowed = 1;
#endif

  startup_open(windowed);
#if QN_PROGRAM_VGA
  if (!vga_choose_converter()) {
    std::printf("Invalid filepointer allocation\n");
    startup_fail();  // releases the archive and returns the console to text mode
  }
#endif
  startup_load();

  sleep(3);  // the loading picture stays on screen
  if (!music_load("music.xm", 64)) startup_fail();
  startup_install_sigterm();
  if (!music_start()) startup_fail();
  display_clear();

  timeline_run();
  return shutdown_demo();
}
