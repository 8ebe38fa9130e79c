// The timeline: ten scenes paced by the demo clock and scored by the music.
// Every scene change and event fires on a song position and row; the clock
// only says how many times per frame the scene's counters advance.
#pragma once
#include <cstdint>

#include "music/music.h"
#ifdef __EMSCRIPTEN__
#include "music/music_web.h"
#endif

// The loop's state. All fields are reset only where a scene's entry says so.
struct TimelineState {
  std::uint8_t scene;         // 0..10; 10 ends the demo
  std::uint8_t entered;       // scenes that have run their entry actions
  std::int32_t last_tick;     // demo_ticks at the end of the previous frame
  std::int32_t phase;         // main animation counter
  std::int32_t second;        // scroll, second path index, first object's distance
  std::int32_t path;          // scene 0 path index; second object's x in scene 5
  std::uint8_t lift;          // white flash level, 255 right after an event
  std::uint8_t step;          // music events fired so far
  std::uint8_t shown;         // flash shown / overlay step / map choice / motion phase
  std::int32_t overlay_step;  // scene 1: text overlays shown
  std::uint8_t whiteout;      // scene 5: backdrop brightness
  std::int32_t speedup;       // scene 5: 1 once the closing whiteout has begun
  std::uint8_t logo;          // scene 0: maps entry of the logo
};

// One music event: fires when position matches and row > row_above.
inline constexpr std::int16_t ROW_ANY = -1;     // always holds
inline constexpr std::int16_t ROW_NONZERO = 0;  // row >= 1
struct SceneEvent {
  std::int16_t position;
  std::int16_t row_above;
  std::int8_t set_shown;  // -1: no extra action
};

struct SceneRow {
  std::int16_t first_position, last_position;  // the positions the scene runs over
  std::int16_t end_position;                   // ends when position > end_position
  std::int16_t end_row_above;                  // ... and row > end_row_above
  std::uint8_t lift_decay;                     // per tick, clamped at 0
  bool events_flash;                           // false: the scene flashes after the walk
  const SceneEvent* events;
  std::uint8_t event_count;
  const char* lock_error;
  void (*enter)(TimelineState&);
  // Draws the frame; returns the image to present, or nullptr for none.
  const std::uint32_t* (*draw)(TimelineState&);
  void (*tick)(TimelineState&);          // one tick's update; may be null
  void (*after_events)(TimelineState&);  // extra event actions; may be null
};

inline constexpr int SCENE_COUNT = 10;
extern const SceneRow scene_table[SCENE_COUNT];

// How long after the loop reads the song its picture is on screen: an event
// is drawn in the next frame, read on average half a frame after its row
// starts; a browser shows a canvas two frames after the one that drew it.
// One and a half frames of the loop's recent pace, three and a half in a page.
extern std::uint64_t timeline_lead_ns;

#ifdef __EMSCRIPTEN__
// The page: the song position and row being heard then, which trail those
// mixed by the sound queued ahead.
inline std::int32_t song_position() { return music_web_heard_position(timeline_lead_ns); }
inline std::int32_t song_row() { return music_web_heard_row(timeline_lead_ns); }
#else
// The song position and row as heard when this frame's events are seen,
// asked afresh each time they are used: the sound moves on under the loop's feet.
inline std::int32_t song_position() { return music_heard_place(timeline_lead_ns).position; }
inline std::int32_t song_row() { return music_heard_place(timeline_lead_ns).row; }
#endif

// Called once a frame after the quit poll, before the end test: the capture
// program's per-frame work. qn and qn-vga run without one.
using FrameHook = void (*)(const TimelineState&);

// One frame of the current scene: entry, draw and present, ticks, events,
// quit poll, frame hook (if any), end test.
void timeline_scene_frame(FrameHook frame_done);

// Runs the ten scenes' frames in order until demo_running is 0.
void timeline_run(FrameHook frame_done = nullptr);
// True once the last scene has ended, rather than the run being stopped.
bool timeline_finished();
