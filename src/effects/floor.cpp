// Scene 3: a floor flying towards the viewer under a flat sky, and a height
// field rising out of it in which nearer rows hide farther ones.
#include <algorithm>
#include <cstdint>

#include "common/frame.h"
#include "effects/effects.h"

namespace {
constexpr std::uint32_t SKY = 0xFF9A9AFFu;
constexpr int HORIZON = FRAME_HEIGHT / 2;
// Rows written above covered[x] whatever the run: 84% of the demo's runs
// are this short; more stores cost more than the branches they save.
constexpr int SPECULATIVE_ROWS = 2;

std::uint32_t floor_texel(const std::uint32_t* texture, std::uint32_t v, std::int32_t u) {
  return texture[(v + static_cast<std::uint32_t>(u)) & 0xFFFFu];
}

}  // namespace

void floor_landscape(std::uint32_t* __restrict dest, const FloorMaps& maps,
                     const std::uint32_t* __restrict texture,
                     const std::uint8_t* __restrict heights, std::int32_t phase,
                     std::int32_t scroll, bool landscape) {
  const std::int32_t* __restrict floor_u = maps.u;
  const std::int32_t* __restrict floor_v = maps.v;
  const std::int32_t* __restrict floor_rise = maps.rise;
  for (int i = 0; i < HORIZON * FRAME_WIDTH; i++) dest[i] = SKY;
  auto floor_row = [phase, floor_v](int k) {
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
  // in every column the rows from covered[x] down are already final.
  //
  // Rows above covered[x] are free to hold anything for now: a later row's
  // run paints them, or they end as sky. So every row writes the pixels
  // just above covered[x] whether its run needs them or not, and only longer
  // runs take a loop; at the end those rows above covered[x] get their sky
  // back.
  // This keeps unpredictable branches out of the per-pixel work.
  int covered[FRAME_WIDTH];
  for (int& c : covered) c = FRAME_HEIGHT;
  for (int y = FRAME_HEIGHT - 1; y >= HORIZON; y--) {
    const int k = y - HORIZON;
    const std::uint32_t v = floor_row(k);
    const std::int32_t* __restrict u = floor_u + k * FRAME_WIDTH;
    const std::uint32_t h_row =
        (static_cast<std::uint32_t>(y) + static_cast<std::uint32_t>(scroll)) * 256u;
    const int rise = floor_rise[k];
    for (int x = 0; x < FRAME_WIDTH; x++) {
      const int h = heights[(h_row + static_cast<std::uint32_t>(x)) & 0xFFFFu];
      // The run covers rows top + 1 .. y: at least row y, never above row 0.
      int top = y - h + rise;
      top = top >= y ? y - 1 : top;
      top = top < -1 ? -1 : top;
      // covered[x] <= y + 1, so the run's first open row is covered[x] - 1.
      const int c = covered[x];
      if (c > 0) {  // a column painted up to row 0 is finished
        const std::uint32_t colour = floor_texel(texture, v, u[x]);
        std::uint32_t* column = dest + x;
        for (int r = 1; r <= SPECULATIVE_ROWS; r++)
          column[std::max(c - r, 0) * FRAME_WIDTH] = colour;
        for (int r = c - SPECULATIVE_ROWS - 1; r > top; r--) column[r * FRAME_WIDTH] = colour;
      }
      covered[x] = std::min(c, top + 1);
    }
  }
  for (int x = 0; x < FRAME_WIDTH; x++)
    for (int r = std::max(covered[x] - SPECULATIVE_ROWS, 0); r < covered[x]; r++)
      dest[r * FRAME_WIDTH + x] = SKY;
}
