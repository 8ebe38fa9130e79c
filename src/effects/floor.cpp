// Scene 3: a floor flying towards the viewer under a flat sky, and a height
// field rising out of it in which nearer rows hide farther ones.
#include <algorithm>
#include <cstdint>

#include "common/frame.h"
#include "control/tables.h"
#include "effects/effects.h"

namespace {
constexpr std::uint32_t SKY = 0xFF9A9AFFu;
constexpr int HORIZON = FRAME_HEIGHT / 2;

std::uint32_t floor_texel(const std::uint32_t* texture, std::uint32_t v, std::int32_t u) {
  return texture[(v + static_cast<std::uint32_t>(u)) & 0xFFFFu];
}

}  // namespace

void floor_landscape(std::uint32_t* __restrict dest, const std::uint32_t* __restrict texture,
                     const std::uint8_t* __restrict heights, std::int32_t phase,
                     std::int32_t scroll, bool landscape) {
  for (int i = 0; i < HORIZON * FRAME_WIDTH; i++) dest[i] = SKY;
  auto floor_row = [phase](int k) {
    return (static_cast<std::uint32_t>(phase) + static_cast<std::uint32_t>(floor_v[k])) * 256u;
  };
  if (!landscape) {
    for (int k = 0; k < FRAME_HEIGHT - HORIZON; k++) {
      const std::uint32_t v = floor_row(k);
      const std::int32_t* __restrict u = floor_u + k * FRAME_WIDTH;
      std::uint32_t* __restrict row = dest + (HORIZON + k) * FRAME_WIDTH;
      for (int x = 0; x < FRAME_WIDTH; x++) row[x] = floor_texel(texture, v, u[x]);
    }
    return;
  }
  // Every floor row covers at least its own pixel and a run above it, and a
  // nearer row paints over a farther one. So the picture equals painting from
  // the nearest row up, each row filling only what nearer rows left open:
  // in every column the rows from covered[x] down are already final, and
  // every pixel is written at most once.
  int covered[FRAME_WIDTH];
  for (int& c : covered) c = FRAME_HEIGHT;
  for (int y = FRAME_HEIGHT - 1; y >= HORIZON; y--) {
    const int k = y - HORIZON;
    const std::uint32_t v = floor_row(k);
    const std::int32_t* __restrict u = floor_u + k * FRAME_WIDTH;
    const std::uint32_t h_row = (static_cast<std::uint32_t>(y) + static_cast<std::uint32_t>(scroll)) * 256u;
    const int rise = floor_rise[k];
    for (int x = 0; x < FRAME_WIDTH; x++) {
      const int h = heights[(h_row + static_cast<std::uint32_t>(x)) & 0xFFFFu];
      // The run covers rows top + 1 .. y: at least row y, never above row 0.
      int top = y - h + rise;
      if (top >= y) top = y - 1;
      if (top < -1) top = -1;
      if (top + 1 >= covered[x]) continue;
      const std::uint32_t colour = floor_texel(texture, v, u[x]);
      for (int r = std::min(y, covered[x] - 1); r > top; r--) dest[r * FRAME_WIDTH + x] = colour;
      covered[x] = top + 1;
    }
  }
}
