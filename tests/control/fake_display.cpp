#include "fake_display.h"

#include <cstring>
#include <mikmod.h>

#include "common/frame.h"
#include "common/globals.h"
#include "control/demo.h"
#include "control/timeline.h"
#include "display/display.h"
#include "music/music.h"
#include "scene_fixture.h"

namespace {
MODULE module;
FakeRun* current = nullptr;
const SongScript* script = nullptr;
int max_frames = 0;
int presented = 0;

std::uint64_t hash_frame(const std::uint32_t* p) {
  std::uint64_t h = 1469598103934665603ull;
  for (int i = 0; i < FRAME_PIXELS; i++) h = (h ^ (p[i] & 0xFFFFFFu)) * 1099511628211ull;
  return h;
}
}  // namespace

struct DisplayState {};
DisplayState* display_open(int, int, int, int) { return nullptr; }
void display_clear() {}
void display_close() {}

void display_present(const std::uint32_t* image, const char* lock_error) {
  presented++;
  if (current)
    current->presentations.push_back(
        {static_cast<int>(current->frames.size()), hash_frame(image), lock_error});
}

void display_poll_quit() {
  const TimelineState& t = timeline_state();
  const int frame = static_cast<int>(current->frames.size());
  current->frames.push_back({frame, demo_ticks, song_position(), song_row(), t.scene, t.lift, presented, t.step,
                             t.shown, t.overlay_step, t.logo, t.speedup});
  current->states.push_back(t);
  presented = 0;
  int position = module.sngpos, row = module.patpos;
  std::int32_t ticks = demo_ticks;
  (*script)(frame, position, row, ticks);
  module.sngpos = static_cast<SWORD>(position);
  module.patpos = static_cast<UWORD>(row);
  demo_ticks = ticks;
  if (frame + 1 >= max_frames) demo_running = 0;
}

FakeRun run_timeline(const SongScript& s, int limit, int start_position) {
  scene_fixture_setup();
  FakeRun run;
  current = &run;
  script = &s;
  max_frames = limit;
  presented = 0;
  std::memset(&module, 0, sizeof module);
  module.numpos = 43;
  module.sngpos = static_cast<SWORD>(start_position);
  music_module = &module;
  demo_ticks = 0;
  demo_running = 1;
  timeline_run();
  current = nullptr;
  return run;
}
