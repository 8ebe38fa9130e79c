// Scene 5: a polar tunnel added onto a backdrop picture that can be raised
// towards white.
#include <cstdint>

#include "common/frame.h"
#include "control/tables.h"
#include "effects/channels.h"
#include "effects/effects.h"

void polar_tunnel(std::uint32_t* __restrict dest, const std::uint32_t* __restrict texture,
                  const std::uint32_t* __restrict backdrop, std::int32_t phase,
                  std::uint32_t whiteout) {
  // add_saturate(t, backdrop raised by whiteout) clamps each channel of
  // t + backdrop + whiteout, so one three-term sum per row does both steps.
  const std::uint32_t shift = static_cast<std::uint32_t>(phase) * 256u;
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const int base = y * FRAME_WIDTH;
    const std::int32_t* __restrict depth = polar_depth + base;
    const std::int32_t* __restrict angle = polar_angle + base;
    std::uint32_t* __restrict row = dest + base;
    // (phase + depth) * 256 + angle: only the depth moves with phase.
    for (int x = 0; x < FRAME_WIDTH; x++)
      row[x] = texture[(static_cast<std::uint32_t>(depth[x]) * 256u + static_cast<std::uint32_t>(angle[x]) + shift) & 0xFFFFu];
    channels::sum_span(row, row, backdrop + base, whiteout, FRAME_WIDTH);
  }
}
