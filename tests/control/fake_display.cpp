#include "fake_display.h"

#include <mikmod.h>

#include <cstring>

#include "common/frame.h"
#include "common/globals.h"
#include "control/timeline.h"
#include "display/display.h"
#include "display/display_null.h"
#include "music/music.h"
#include "scene_fixture.h"

namespace {
MODULE module;
FakeRun* current = nullptr;
const SongScript* script = nullptr;
int max_frames = 0;
int presentations_seen = 0;

std::uint64_t hash_frame(const std::uint32_t* p) {
  std::uint64_t h = 1469598103934665603ull;
  for (int i = 0; i < FRAME_PIXELS; i++) h = (h ^ (p[i] & 0xFFFFFFu)) * 1099511628211ull;
  return h;
}

// The frame hook: nothing is drawn between a frame's presentation and its
// hook, so the image presented is still intact here.
void record_frame(const TimelineState& t) {
  const NullScreen& screen = display_null_screen();
  const int frame = static_cast<int>(current->frames.size());
  const int presented = screen.presentations - presentations_seen;
  presentations_seen = screen.presentations;
  if (presented > 0)
    current->presentations.push_back(
        {frame, hash_frame(screen.last_image), screen.last_lock_error});
  current->frames.push_back({frame, demo_ticks, song_position(), song_row(), t.scene, t.lift,
                             presented, t.step, t.shown, t.overlay_step, t.logo, t.speedup});
  current->states.push_back(t);
  int position = module.sngpos, row = module.patpos;
  std::int32_t ticks = demo_ticks;
  (*script)(frame, position, row, ticks);
  module.sngpos = static_cast<SWORD>(position);
  module.patpos = static_cast<UWORD>(row);
  demo_ticks = ticks;
  if (frame + 1 >= max_frames) demo_running = 0;
}
}  // namespace

FakeRun run_timeline(const SongScript& s, int limit, int start_position) {
  scene_fixture_setup();
  FakeRun run;
  current = &run;
  script = &s;
  max_frames = limit;
  display_open(FRAME_WIDTH, FRAME_HEIGHT, 32, 0);
  presentations_seen = 0;
  std::memset(&module, 0, sizeof module);
  module.numpos = 43;
  module.sngpos = static_cast<SWORD>(start_position);
  music_module = &module;
  demo_ticks = 0;
  demo_running = 1;
  timeline_run(record_frame);
  display_close();
  current = nullptr;
  return run;
}
