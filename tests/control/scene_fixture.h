// What the scenes need to draw outside the real start-up: an archive of the
// right shapes in memory (pseudo-random pictures), the tables computed from
// it, the camera aimed at work_frame and an empty object list.
#pragma once
#include <cstdint>
#include <vector>

#include "common/frame.h"
#include "control/demo.h"
#include "control/tables.h"
#include "data/archive.h"
#include "engine/engine.h"
#include "engine/model.h"

inline void scene_fixture_setup() {
  static bool done = false;
  if (done) return;
  done = true;
  static std::vector<std::vector<std::uint32_t>> pictures(11,
                                                          std::vector<std::uint32_t>(FRAME_PIXELS));
  static std::vector<std::vector<std::uint8_t>> masks(18, std::vector<std::uint8_t>(FRAME_PIXELS));
  static std::uint32_t* text[12] = {};
  static std::uint8_t* maps[19] = {};
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int k = 0; k < 11; k++) {
    for (auto& w : pictures[k]) w = next() >> 8;
    text[k] = pictures[k].data();
  }
  for (int k = 0; k < 18; k++) {
    // Masks: blocks of text (bytes above 10) on background.
    for (int i = 0; i < FRAME_PIXELS; i++)
      masks[k][i] = ((i / 7 + k) % 5 == 0) ? 200 : (next() >> 29);
    maps[k] = masks[k].data();
  }
  static TextureStructure archive{text, maps};
  demo_archive = &archive;
  if (!frame_allocate() || !tables_allocate()) return;
  tables_compute(demo_archive);
  camera_init(&demo_camera, 200.0f, 0.0f, 0.0f, -500.0f, 0.0f, 0.0f, 0.0f, 0);
  demo_camera.target = work_frame;
  object_list_init(&demo_objects);
}
