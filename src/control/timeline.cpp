// The frame loop: each pass runs the blocks of scenes 0..10 in order, each
// only if it is the current scene, so a scene that ends is followed at once
// by the next scene's first frame in the same pass.
#include "control/timeline.h"

#include <algorithm>

#include "common/globals.h"
#include "control/demo.h"
#include "display/display.h"

std::uint64_t timeline_lead_ns = 0;

namespace {
#ifdef __EMSCRIPTEN__
constexpr std::uint64_t LEAD_HALF_FRAMES = 7;  // the browser's commit and draw: two frames more
#else
constexpr std::uint64_t LEAD_HALF_FRAMES = 3;
#endif
TimelineState timeline;
std::uint64_t frame_pace_ns = 0;  // smoothed time between frames
std::uint64_t last_frame_ns = 0;

void follow_pace() {
  const std::uint64_t now = music_now_ns();
  if (last_frame_ns != 0) {
    // A stall (a scene's loading, a paused machine, a hidden page) is not the pace.
    const std::uint64_t frame = now - last_frame_ns;
    if (frame <= 100'000'000) {
      frame_pace_ns = frame_pace_ns == 0 ? frame : (frame_pace_ns * 7 + frame) / 8;
      timeline_lead_ns = frame_pace_ns * LEAD_HALF_FRAMES / 2;
    }
  }
  last_frame_ns = now;
}

bool row_holds(std::int16_t row_above) { return song_row() > row_above; }

void walk_events(const SceneRow& row) {
  for (int k = 0; k < row.event_count; k++) {
    const SceneEvent& ev = row.events[k];
    if (timeline.step != k || song_position() != ev.position || !row_holds(ev.row_above)) continue;
    timeline.step = static_cast<std::uint8_t>(k + 1);
    if (row.events_flash) timeline.lift = 255;
    if (ev.set_shown >= 0) timeline.shown = static_cast<std::uint8_t>(ev.set_shown);
  }
}

void run_ticks(const SceneRow& row) {
  // Unsigned difference: the clock may wrap without undefined behaviour.
  const std::int32_t elapsed = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(demo_ticks) - static_cast<std::uint32_t>(timeline.last_tick));
  for (std::int32_t i = 0; i < elapsed; i++) {
    if (row.tick) row.tick(timeline);
    timeline.lift = static_cast<std::uint8_t>(std::max(0, timeline.lift - row.lift_decay));
  }
  // Read again: ticks that arrived during the updates are not replayed.
  timeline.last_tick = demo_ticks;
}
}  // namespace

void timeline_scene_frame(FrameHook frame_done) {
  if (timeline.scene >= SCENE_COUNT) {
    demo_running = 0;
    return;
  }
  const SceneRow& row = scene_table[timeline.scene];
  if (timeline.entered == timeline.scene) {
    timeline.last_tick = demo_ticks;
    row.enter(timeline);
    timeline.entered = static_cast<std::uint8_t>(timeline.scene + 1);
  }
  if (const std::uint32_t* image = row.draw(timeline)) display_present(image, row.lock_error);
  follow_pace();
  run_ticks(row);
  walk_events(row);
  if (row.after_events) row.after_events(timeline);
  display_poll_quit();
  if (frame_done) frame_done(timeline);
  if (song_position() > row.end_position && row_holds(row.end_row_above)) timeline.scene++;
}

bool timeline_finished() { return timeline.scene >= SCENE_COUNT; }

void timeline_run(FrameHook frame_done) {
  timeline = TimelineState{};
  last_frame_ns = 0;
  frame_pace_ns = 0;
  timeline_lead_ns = 0;
  while (demo_running) {
    for (int block = 0; block <= SCENE_COUNT; block++)
      if (timeline.scene == block) timeline_scene_frame(frame_done);
  }
}
