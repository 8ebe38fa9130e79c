// Entry point of qn-capture: the demo's own start-up and timeline on a
// virtual clock, with the capture back end keeping each picture and the
// capture's frame hook writing pictures, sound and a per-frame log. No pause
// before the music; the same bytes for the same inputs.
#include <csignal>
#include <cstdio>
#include <string>

#include "control/capture.h"
#include "control/demo.h"
#include "control/timeline.h"
#include "display/display.h"
#include "music/music.h"

int main(int argc, char** argv) {
  CaptureOptions options;
  std::string error;
  switch (capture_parse_options(argc, argv, &options, &error)) {
    case CaptureParse::help:
      std::fputs(CAPTURE_USAGE, stdout);
      return 0;
    case CaptureParse::error:
      std::fprintf(stderr, "qn-capture: %s\nTry 'qn-capture --help'.\n", error.c_str());
      return 2;
    case CaptureParse::run:
      break;
  }
  if (!capture_enter_data_folder(&options, &error)) {
    std::fprintf(stderr, "qn-capture: %s\n", error.c_str());
    return 1;
  }
  std::signal(SIGPIPE, SIG_IGN);  // a dead encoder shows as a failed write
  std::printf("%s\n\n", "*** ZORV Linux capture using a virtual clock and mikmod ***");
  if (!capture_configure(options)) return 1;

  startup_open(0);
  startup_load();
  // Without a kept WAV the sound is still mixed, so the song runs as it would.
  if (!music_capture_open(capture_sound_path().c_str())) startup_fail();
  if (!music_load("music.xm", 64)) startup_fail();
  if (!music_module) {
    std::fprintf(stderr, "qn-capture: no module was loaded\n");
    startup_fail();
  }
  startup_install_sigterm();
  if (!music_start_virtual()) startup_fail();
  display_clear();

  timeline_run(capture_frame);
  const int status = shutdown_demo();  // completes the WAV
  const bool sound_ok = options.wav.empty() || music_capture_ok();
  const int result = capture_finish(sound_ok);
  return result != 0 ? result : status;
}
