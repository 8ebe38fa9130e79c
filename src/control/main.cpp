// Entry point of qn (SDL) and qn-vga (console). What differs between the
// two comes from the program file linked with it (control/program.h).
#include <unistd.h>

#include "control/demo.h"
#include "control/program.h"
#include "control/timeline.h"
#include "display/display.h"
#include "music/music.h"

int main(int argc, char** argv) {
  startup_open(program_start(argc, argv));
  // On the console a failure here also returns it to text mode.
  if (!program_display_ready()) startup_fail();
  startup_load();

  startup_pause();
  if (!music_load("music.xm", 64)) startup_fail();
  startup_install_sigterm();
  if (!music_start()) startup_fail();
  display_clear();

  timeline_run();
  return shutdown_demo();
}
