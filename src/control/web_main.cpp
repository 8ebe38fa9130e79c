// Entry point of qn-web: qn's start-up, timeline and shut-down in a page,
// started by the page's "click to start" (sound may start only after a
// gesture). The page passes "--capture [N]" for its test mode, which runs
// as qn-capture does: the capture sound driver mixing 20 ms per frame into
// nothing, a virtual clock, pictures kept, not shown; at frame N that frame
// goes onto the canvas (the one qn-capture writes as frame-N.png) and the
// demo ends. Without N it runs to the closing row.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/globals.h"
#include "control/demo.h"
#include "control/timeline.h"
#include "display/display.h"
#include "display/display_web.h"
#include "music/music.h"
#include "music/music_web.h"

namespace {
int frames = 0;       // frames run
int stop_frame = -1;  // test mode: the frame to show, or -1 for none
// The song's place after the last frame, for the page once the module is gone.
std::int32_t last_position = -1, last_row = -1;
// Music events fired over the whole run, and the scene: a run that skips
// an event ends with fewer.
int events = 0, scene = 0, scene_step = 0;

void note_frame(const TimelineState& t) {
  last_position = song_position();
  last_row = song_row();
  // Each scene's entry starts its count of events at 0.
  events += t.scene == scene ? t.step - scene_step : t.step;
  scene = t.scene;
  scene_step = t.step;
}

// Normal mode: the clock comes from the sound, the display yields in its poll.
void page_frame(const TimelineState& t) {
  frames++;
  music_web_frame();
  note_frame(t);
}

// Test mode, as qn-capture's frame hook: the frame is done, 20 ms of virtual
// time pass.
void capture_frame(const TimelineState& t) {
  if (frames == stop_frame) {
    display_web_show_kept();
    demo_running = 0;
    return;
  }
  clock_step();
  clock_step();
  frames++;
  note_frame(t);
}

// Tells the page that the program has ended: its closing state, or the test's answer.
EM_JS(void, page_demo_ended, (int status), {
  if (Module.onDemoEnded) Module.onDemoEnded(status);
});
}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE int web_frames() { return frames; }
extern "C" EMSCRIPTEN_KEEPALIVE int web_song_position() { return last_position; }
extern "C" EMSCRIPTEN_KEEPALIVE int web_song_row() { return last_row; }
extern "C" EMSCRIPTEN_KEEPALIVE int web_events() { return events; }
extern "C" EMSCRIPTEN_KEEPALIVE int web_scene() { return scene; }

int main(int argc, char** argv) {
  const bool capture = argc > 1 && std::strcmp(argv[1], "--capture") == 0;
  if (capture && argc > 2) stop_frame = std::atoi(argv[2]);
  std::printf("%s\n\n", "*** ZORV web startup using SDL and mikmod ***");
  if (capture) display_web_keep_pictures();

  startup_open(0);
  startup_load();
  if (capture) {
    if (!music_capture_open("/dev/null")) startup_fail();
  } else {
    music_web_open();
    emscripten_sleep(3000);  // the loading picture stays on screen
  }
  if (!music_load("music.xm", 64)) startup_fail();
  if (capture) {
    if (!music_start_virtual()) startup_fail();
  } else {
    music_web_start();
  }
  display_clear();

  timeline_run(capture ? capture_frame : page_frame);
  const int status = shutdown_demo();
  page_demo_ended(status);
  return status;
}
