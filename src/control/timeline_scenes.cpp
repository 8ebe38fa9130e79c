// The ten scenes as table rows: entry actions, frame drawing, per-tick
// updates and event lists. The loop that runs them is in timeline.cpp.
#include <algorithm>
#include <cstring>

#include "common/frame.h"
#include "control/demo.h"
#include "control/tables.h"
#include "control/timeline.h"
#include "display/display.h"
#include "effects/effects.h"
#include "engine/model.h"
#include "engine/pass/render.h"

namespace {
std::uint32_t* text(int k) { return demo_archive->text[k]; }
const std::uint8_t* maps(int k) { return demo_archive->maps[k]; }

void clear(std::uint32_t* frame) { std::memset(frame, 0, FRAME_BYTES); }

// A text overlay change: taken when the counter equals the step's index,
// position > position_above and row > row_above. At most one per frame.
struct OverlayStep {
  std::int16_t position_above;
  std::int16_t row_above;
  std::int8_t map;  // maps entry to stamp, -1 for none
  bool clear;       // clear second_frame before stamping
};

template <typename Counter>
void overlay_advance(const OverlayStep* steps, int count, Counter& counter) {
  for (int i = 0; i < count; i++) {
    const OverlayStep& s = steps[i];
    if (counter != i || song_position() <= s.position_above || song_row() <= s.row_above) continue;
    if (s.clear) clear(second_frame);
    if (s.map >= 0) stamp_mask(second_frame, maps(s.map));
    counter = static_cast<Counter>(i + 1);
    return;
  }
}

// ---- scene 0: scrolling tile, wobbled blend, colour-split logo --------------
void enter_opening(TimelineState& t) {
  t.logo = 1;
  t.phase = 0;
  t.second = 0;
  t.path = 0;
}
const std::uint32_t* draw_opening(TimelineState& t) {
  opening_background(second_frame, wobble_image, wobble_tables(), text(0), text(1), t.second,
                     t.path);
  rgb_split_logo(work_frame, second_frame, maps(t.logo), logo_offsets(), t.phase);
  return second_frame;
}
void tick_opening(TimelineState& t) {
  t.phase = t.phase > 8 ? 0 : t.phase + 1;
  t.second++;
  t.path = t.path > 358 ? 0 : t.path + 1;
  std::rotate(wobble, wobble + 1, wobble + 256);  // the ripples travel
}
void logo_events(TimelineState& t) {
  if (song_position() == 0 && song_row() > 32)
    t.logo = 2;
  else if (song_position() == 1 && song_row() <= 19)
    t.logo = 3;
}

// ---- scene 1: warped plane with text ------------------------------------------
constexpr OverlayStep plane_texts[] = {
    {1, ROW_NONZERO, 8, true}, {1, 32, 9, true}, {2, ROW_NONZERO, 10, true}, {2, 32, 11, true}};

void enter_plane(TimelineState& t) {
  t.phase = 0;
  t.step = 0;
  t.shown = 0;
  t.overlay_step = 0;
  t.lift = 255;
  clear(second_frame);
}
const std::uint32_t* draw_plane(TimelineState& t) {
  map_lookup(work_frame, text(2), plane_v, plane_u, t.phase);
  brighten(work_frame, t.lift);
  overlay_advance(plane_texts, 4, t.overlay_step);
  overlay_white(work_frame, second_frame);
  return work_frame;
}
void tick_counter(TimelineState& t) { t.phase++; }
void plane_flash(TimelineState& t) {
  if (t.shown < t.step) {
    t.shown = t.step;
    t.lift = 255;
  }
}

// ---- scenes 2, 6, 8: one map pair per position --------------------------------
void enter_tunnels(TimelineState& t) {
  t.phase = 0;
  t.lift = 255;
  t.step = 0;
}
const std::uint32_t* draw_tunnels(TimelineState& t) {
  const SceneRow& row = scene_table[t.scene];
  const std::int32_t pos = song_position();
  // Elsewhere nothing new is drawn and the last picture is lifted again.
  if (pos >= row.first_position && pos <= row.last_position)
    map_pair_lookup(work_frame, tunnel_maps(), pos - row.first_position + 1, text(3), t.phase);
  brighten(work_frame, t.lift);
  return work_frame;
}

// ---- scene 3: floor rising into a landscape ----------------------------------
constexpr OverlayStep floor_texts[] = {{12, ROW_NONZERO, 5, false}, {13, ROW_NONZERO, 6, true},
                                       {14, ROW_NONZERO, 7, true},  {15, ROW_ANY, -1, true},
                                       {16, ROW_NONZERO, 12, true}, {17, ROW_NONZERO, 13, true},
                                       {18, ROW_NONZERO, 14, true}};

void enter_floor(TimelineState& t) {
  t.phase = 0;
  t.second = 0;
  t.lift = 255;
  t.step = 0;
  t.shown = 0;
  clear(second_frame);
}
const std::uint32_t* draw_floor(TimelineState& t) {
  floor_landscape(work_frame, floor_maps(), text(4), maps(4), t.phase, t.second,
                  song_position() > 15);
  overlay_advance(floor_texts, 7, t.shown);
  overlay_nonzero(work_frame, second_frame);
  brighten(work_frame, t.lift);
  return work_frame;
}
void tick_floor(TimelineState& t) {
  t.phase++;
  t.second--;
}

// ---- scene 4: tunnels chosen by event ----------------------------------------
constexpr int chosen_pairs[] = {8, 6, 1, 2};

void enter_chosen(TimelineState& t) {
  t.phase = 0;
  t.step = 0;
  t.shown = 0;
  t.lift = 255;
  clear(work_frame);
}
const std::uint32_t* draw_chosen(TimelineState& t) {
  map_pair_lookup(work_frame, tunnel_maps(), chosen_pairs[t.shown & 3], text(3), t.phase);
  brighten(work_frame, t.lift);
  return work_frame;
}

// ---- scene 5: polar tunnel with two objects -----------------------------------
Object* scene_object(int k) { return demo_objects.count > k ? demo_objects.objects[k] : nullptr; }

void enter_objects(TimelineState& t) {
  t.step = 0;
  t.shown = 0;
  t.speedup = 0;
  t.whiteout = 0;
  t.phase = 0;
  t.second = 2000;
  t.path = 700;
  t.lift = 255;
}
const std::uint32_t* draw_objects(TimelineState& t) {
  polar_tunnel(work_frame, polar_maps(), text(4), text(7), t.phase, t.whiteout);
  if (Object* o = scene_object(0)) object_set_position(o, 0.0f, 0.0f, static_cast<float>(t.second));
  if (Object* o = scene_object(1)) object_set_position(o, static_cast<float>(t.path), 0.0f, 0.0f);
  render_scene(&demo_objects, &demo_camera);
  brighten(work_frame, t.lift);
  return work_frame;
}
void tick_objects(TimelineState& t) {
  t.phase++;
  if (Object* o = scene_object(0)) object_rotate(o, 1.0f, 1.0f, -1.0f);
  if (Object* o = scene_object(1)) object_rotate(o, 1.0f, -1.0f, 1.0f);
  switch (t.shown) {
    case 0:
      t.second = std::max(0, t.second - 10);
      break;  // the first flies in
    case 1:
      t.path = std::max(0, t.path - 5);
      break;  // the second slides to the centre
    case 2:
      t.path = std::max(-700, t.path - 5);
      break;  // ... and on to the other side
    case 3:
      t.second = std::min(10000, t.second + 10);
      break;  // the first flies away
  }
  // The lift decays here, through the table row.
  if (t.speedup == 1) {
    t.whiteout = static_cast<std::uint8_t>(std::min(255, t.whiteout + 2));
    t.phase++;  // the tunnel runs at double speed during the whiteout
  }
}
void motion_events(TimelineState& t) {
  const std::int32_t pos = song_position();
  if (pos == 23 && t.shown == 0) t.shown = 1;
  if (pos == 24 && t.shown == 1) t.shown = 2;
  if (pos == 25 && t.shown == 2) t.shown = 3;
  if (pos == 25 && song_row() > 48 && t.speedup == 0) t.speedup = 1;
}

// ---- scene 7: twin bump images with text --------------------------------------
void enter_bump(TimelineState& t) {
  t.phase = 0;
  t.second = 359;
  clear(second_frame);
  t.lift = 255;
  t.step = 0;
}
const std::uint32_t* draw_bump(TimelineState& t) {
  twin_bump(work_frame, second_frame, bump_tables(), text(9), t.phase, t.second, t.lift);
  // After the lift, so the text is pure white.
  const std::int32_t pos = song_position();
  if (pos >= 34 && pos <= 36) stamp_mask(work_frame, maps(15 + pos - 34));
  return work_frame;
}
void tick_bump(TimelineState& t) {
  t.phase = t.phase > 358 ? 0 : t.phase + 1;
  t.second = t.second <= 0 ? 359 : t.second - 1;
}

// ---- scene 9: the closing picture, presented once -----------------------------
void enter_closing(TimelineState& t) { t.step = 0; }
const std::uint32_t* draw_closing(TimelineState& t) {
  if (t.step != 0) return nullptr;  // the picture stays on screen
  t.step = 1;
  return text(10);
}

// ---- event lists --------------------------------------------------------------
constexpr std::int8_t NO = -1;
constexpr SceneEvent plane_events[] = {
    {2, 25, NO}, {2, 28, NO}, {2, 31, NO}, {3, ROW_NONZERO, NO}, {3, 32, NO}};
constexpr SceneEvent tunnel_events_a[] = {{5, ROW_ANY, NO}, {6, ROW_ANY, NO}, {7, ROW_ANY, NO},
                                          {8, ROW_ANY, NO}, {9, ROW_ANY, NO}, {10, ROW_ANY, NO},
                                          {11, ROW_ANY, NO}};
constexpr SceneEvent floor_events[] = {
    {12, 25, NO}, {12, 28, NO},          {12, 31, NO}, {13, ROW_NONZERO, NO},
    {13, 31, NO}, {14, ROW_NONZERO, NO}, {14, 25, NO}, {14, 28, NO},
    {14, 31, NO}, {15, ROW_NONZERO, NO}, {15, 31, NO}, {16, ROW_NONZERO, NO},
    {16, 25, NO}, {16, 28, NO},          {16, 31, NO}, {17, ROW_NONZERO, NO},
    {17, 31, NO}, {18, ROW_NONZERO, NO}, {18, 25, NO}, {18, 28, NO},
    {18, 31, NO}, {19, ROW_NONZERO, NO}, {19, 31, NO}};
constexpr SceneEvent chosen_events[] = {
    {20, 25, NO}, {20, 28, NO}, {20, 31, 1}, {21, ROW_NONZERO, 2}, {21, 31, 3}};
constexpr SceneEvent object_events[] = {{22, ROW_NONZERO, NO}, {22, 25, NO},          {22, 28, NO},
                                        {22, 31, NO},          {23, ROW_NONZERO, NO}, {23, 31, NO},
                                        {24, ROW_NONZERO, NO}, {24, 25, NO},          {24, 28, NO},
                                        {24, 31, NO},          {25, ROW_NONZERO, NO}, {25, 31, NO}};
constexpr SceneEvent tunnel_events_b[] = {{27, ROW_ANY, NO}, {28, ROW_ANY, NO}, {29, ROW_ANY, NO},
                                          {30, ROW_ANY, NO}, {31, ROW_ANY, NO}, {32, ROW_ANY, NO},
                                          {33, ROW_ANY, NO}};
constexpr SceneEvent bump_events[] = {{34, 25, NO},          {34, 28, NO}, {34, 31, NO},
                                      {35, ROW_NONZERO, NO}, {35, 31, NO}, {36, ROW_NONZERO, NO},
                                      {36, 25, NO},          {36, 28, NO}, {36, 31, NO},
                                      {37, ROW_NONZERO, NO}, {37, 31, NO}};
constexpr SceneEvent tunnel_events_c[] = {
    {38, ROW_ANY, NO}, {39, ROW_ANY, NO}, {40, ROW_ANY, NO}, {41, ROW_ANY, NO}};

template <std::size_t N>
constexpr std::uint8_t count_of(const SceneEvent (&)[N]) {
  return static_cast<std::uint8_t>(N);
}
const char* const LOCK = DISPLAY_LOCK_ERROR;
}  // namespace

// One row a scene: the positions it runs over, its end position and row, the flash decay, whether
// events flash, its music events; then its lock message and its entry, draw, tick and
// after-events steps.
// clang-format off
const SceneRow scene_table[SCENE_COUNT] = {
  {0,  1,  1,  ROW_ANY, 0,  true,  nullptr,         0,
   DISPLAY_LOCK_ERROR_FIRST_SCENE, enter_opening, draw_opening, tick_opening, logo_events},
  {2,  3,  3,  ROW_ANY, 3,  false, plane_events,    count_of(plane_events),
   LOCK,                           enter_plane,   draw_plane,   tick_counter, plane_flash},
  {4,  11, 11, ROW_ANY, 20, true,  tunnel_events_a, count_of(tunnel_events_a),
   LOCK,                           enter_tunnels, draw_tunnels, tick_counter, nullptr},
  {12, 19, 19, ROW_ANY, 10, true,  floor_events,    count_of(floor_events),
   LOCK,                           enter_floor,   draw_floor,   tick_floor,   nullptr},
  {20, 21, 21, ROW_ANY, 5,  true,  chosen_events,   count_of(chosen_events),
   LOCK,                           enter_chosen,  draw_chosen,  tick_counter, nullptr},
  {22, 25, 25, ROW_ANY, 10, true,  object_events,   count_of(object_events),
   LOCK,                           enter_objects, draw_objects, tick_objects, motion_events},
  {26, 33, 33, ROW_ANY, 20, true,  tunnel_events_b, count_of(tunnel_events_b),
   LOCK,                           enter_tunnels, draw_tunnels, tick_counter, nullptr},
  {34, 37, 37, ROW_ANY, 10, true,  bump_events,     count_of(bump_events),
   LOCK,                           enter_bump,    draw_bump,    tick_bump,    nullptr},
  {38, 41, 41, ROW_ANY, 20, true,  tunnel_events_c, count_of(tunnel_events_c),
   LOCK,                           enter_tunnels, draw_tunnels, tick_counter, nullptr},
  {42, 42, 41, 32,      0,  true,  nullptr,         0,
   LOCK,                           enter_closing, draw_closing, nullptr,      nullptr},
};
// clang-format on
