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
  const std::uint32_t lift = channels::grey(whiteout);
  const std::uint32_t shift = static_cast<std::uint32_t>(phase) * 256u;
  const std::int32_t* __restrict depth = polar_depth;
  const std::int32_t* __restrict angle = polar_angle;
  for (int i = 0; i < FRAME_PIXELS; i++) {
    // (phase + depth) * 256 + angle: only the depth moves with phase.
    const std::uint32_t index = (static_cast<std::uint32_t>(depth[i]) * 256u +
                                 static_cast<std::uint32_t>(angle[i]) + shift) & 0xFFFFu;
    dest[i] = channels::add2(texture[index], channels::add2(backdrop[i], lift));
  }
}
