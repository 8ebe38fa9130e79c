// Scene 5: a polar tunnel added onto a backdrop picture that can be raised
// towards white.
#include <cstdint>

#include "common/frame.h"
#include "effects/channels.h"
#include "effects/effects.h"
#include "effects/lookup.h"

void polar_tunnel(std::uint32_t* __restrict dest, const PolarMaps& maps,
                  const std::uint32_t* __restrict texture, const std::uint32_t* __restrict backdrop,
                  std::int32_t phase, std::uint32_t whiteout) {
  // The saturating sum of t and the backdrop raised by whiteout clamps each
  // channel of t + backdrop + whiteout, so one three-term sum does both steps.
  const std::uint32_t shift = static_cast<std::uint32_t>(phase) * 256u;
#if defined(__SSE2__)
  const __m128i lift = _mm_set1_epi32(static_cast<int>(shift));
  const __m128i raise = _mm_set1_epi32(static_cast<int>(channels::grey(whiteout)));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
#endif
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const int base = y * FRAME_WIDTH;
    const std::int32_t* __restrict depth = maps.depth + base;
    const std::int32_t* __restrict angle = maps.angle + base;
    std::uint32_t* __restrict row = dest + base;
    // (phase + depth) * 256 + angle: only the depth moves with phase.
    int x = 0;
#if defined(__SSE2__)
    // The sum is made on the texels while they are still in a register.
    for (; x + 4 <= FRAME_WIDTH; x += 4) {
      const __m128i index =
          lookup::index4(lookup::load4(depth + x), lookup::load4(angle + x), lift);
      const __m128i t =
          _mm_adds_epu8(lookup::texels4(texture, index), lookup::load4(backdrop + base + x));
      lookup::store4(row + x, _mm_and_si128(_mm_adds_epu8(t, raise), colour));
    }
#endif
    // The pixels the vector loop left (all of them where there is none):
    // texels first, then the backdrop and the whiteout over the same span.
    const int rest = x;
    for (; x < FRAME_WIDTH; x++)
      row[x] = texture[(static_cast<std::uint32_t>(depth[x]) * 256u +
                        static_cast<std::uint32_t>(angle[x]) + shift) &
                       0xFFFFu];
    channels::sum_span(row + rest, row + rest, backdrop + base + rest, whiteout,
                       FRAME_WIDTH - rest);
  }
}
