// A small archive for table and effect tests: nine pictures, entry 8 a
// 320x240 relief whose blue channel is a known pattern (the other channels
// carry noise the bump tables must ignore).
#pragma once
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/frame.h"
#include "control/tables.h"
#include "data/archive.h"

inline std::uint32_t test_relief_word(int x, int y) {
  const std::uint32_t blue = static_cast<std::uint32_t>(x * 7 + y * y * 3) & 0xFF;
  return 0xA5C3E100u ^ (static_cast<std::uint32_t>(x * y) << 8) ^ blue;
}

// Allocates and computes every table once per process.
inline void test_tables_ready() {
  static bool done = false;
  if (done) return;
  static std::vector<std::uint32_t> pictures(9 * FRAME_PIXELS);
  static std::uint32_t* text[10];
  static std::uint8_t* maps[1] = {nullptr};
  for (int k = 0; k < 9; k++) text[k] = pictures.data() + k * FRAME_PIXELS;
  text[9] = nullptr;
  for (int y = 0; y < FRAME_HEIGHT; y++)
    for (int x = 0; x < FRAME_WIDTH; x++) text[8][y * FRAME_WIDTH + x] = test_relief_word(x, y);
  static TextureStructure archive{text, maps};
  if (!frame_allocate() || !tables_allocate()) std::abort();
  tables_compute(&archive);
  done = true;
}
