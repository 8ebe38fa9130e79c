// Scene 3: a floor flying towards the viewer under a flat sky, and a height
// field rising out of it, drawn from the horizon down so that nearer rows
// paint over farther ones.
#include <cstdint>

#include "common/frame.h"
#include "control/tables.h"
#include "effects/effects.h"

namespace {
constexpr std::uint32_t SKY = 0xFF9A9AFFu;
constexpr int HORIZON = FRAME_HEIGHT / 2;
}  // namespace

void floor_landscape(std::uint32_t* __restrict dest, const std::uint32_t* __restrict texture,
                     const std::uint8_t* __restrict heights, std::int32_t phase,
                     std::int32_t scroll, bool landscape) {
  // Every floor row writes its own pixels first, so only the upper half needs the sky.
  for (int i = 0; i < HORIZON * FRAME_WIDTH; i++) dest[i] = SKY;
  for (int y = HORIZON; y < FRAME_HEIGHT; y++) {
    const int k = y - HORIZON;
    const std::uint32_t v = (static_cast<std::uint32_t>(phase) + static_cast<std::uint32_t>(floor_v[k])) * 256u;
    const std::int32_t* __restrict u = floor_u + k * FRAME_WIDTH;
    std::uint32_t* row = dest + y * FRAME_WIDTH;
    if (!landscape) {
      for (int x = 0; x < FRAME_WIDTH; x++) row[x] = texture[(v + static_cast<std::uint32_t>(u[x])) & 0xFFFFu];
      continue;
    }
    const std::uint32_t h_row = (static_cast<std::uint32_t>(y) + static_cast<std::uint32_t>(scroll)) * 256u;
    const int rise = floor_rise[k];
    for (int x = 0; x < FRAME_WIDTH; x++) {
      const std::uint32_t colour = texture[(v + static_cast<std::uint32_t>(u[x])) & 0xFFFFu];
      const int h = heights[(h_row + static_cast<std::uint32_t>(x)) & 0xFFFFu];
      int top = y - h + rise;
      if (top >= y) top = y - 1;   // a single floor pixel
      if (top < -1) top = -1;      // the run stops at row 0
      for (int r = y; r > top; r--) dest[r * FRAME_WIDTH + x] = colour;
    }
  }
}
