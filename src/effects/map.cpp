// Texture mapping through precalculated coordinate maps: the warped plane and
// the tunnels. Index arithmetic wraps at 32 bits and is masked to 16, so any
// map value selects a texel and the texture tiles in both directions.
#include <cstdint>

#include "common/frame.h"
#include "effects/effects.h"
#include "effects/lookup.h"

namespace {

// (phase + v) * 256 + (phase + u) == v * 256 + u + phase * 257 modulo 2^32.
inline std::uint32_t texel_index(std::uint32_t v, std::uint32_t u, std::uint32_t shift) {
  return (v * 256u + u + shift) & 0xFFFFu;
}

// The tunnel pairs 1..8: a v map (nullptr: the row) and a u map.
using MapField = const std::int32_t* TunnelMaps::*;
struct MapPair {
  MapField v, u;
};
constexpr MapPair map_pairs[8] = {
    {&TunnelMaps::v_a, &TunnelMaps::u_a}, {&TunnelMaps::v_b, &TunnelMaps::u_b},
    {nullptr, &TunnelMaps::u_b},          {&TunnelMaps::v_c, &TunnelMaps::u_c},
    {&TunnelMaps::v_d, &TunnelMaps::u_d}, {&TunnelMaps::v_c, &TunnelMaps::u_b},
    {&TunnelMaps::v_b, &TunnelMaps::u_d}, {nullptr, &TunnelMaps::u_e},
};

}  // namespace

void map_lookup(std::uint32_t* __restrict dest, const std::uint32_t* __restrict texture,
                const std::int32_t* __restrict v, const std::int32_t* __restrict u,
                std::int32_t phase) {
  const std::uint32_t shift = static_cast<std::uint32_t>(phase) * 257u;
  if (!v) {
    for (int y = 0; y < FRAME_HEIGHT; y++) {
      const std::uint32_t row = static_cast<std::uint32_t>(y) * 256u + shift;
      const int base = y * FRAME_WIDTH;
      int x = 0;
#if defined(__SSE2__)
      const __m128i lift = _mm_set1_epi32(static_cast<int>(row));
      for (; x + 4 <= FRAME_WIDTH; x += 4) {
        const __m128i index =
            lookup::index4(_mm_setzero_si128(), lookup::load4(u + base + x), lift);
        lookup::store4(dest + base + x, lookup::texels4(texture, index));
      }
#endif
      for (; x < FRAME_WIDTH; x++)
        dest[base + x] = texture[texel_index(0, static_cast<std::uint32_t>(u[base + x]), row)];
    }
    return;
  }
  int i = 0;
#if defined(__SSE2__)
  const __m128i lift = _mm_set1_epi32(static_cast<int>(shift));
  for (; i + 4 <= FRAME_PIXELS; i += 4) {
    const __m128i index = lookup::index4(lookup::load4(v + i), lookup::load4(u + i), lift);
    lookup::store4(dest + i, lookup::texels4(texture, index));
  }
#endif
  for (; i < FRAME_PIXELS; i++)
    dest[i] = texture[texel_index(static_cast<std::uint32_t>(v[i]),
                                  static_cast<std::uint32_t>(u[i]), shift)];
}

void map_pair_lookup(std::uint32_t* dest, const TunnelMaps& maps, int pair,
                     const std::uint32_t* texture, std::int32_t phase) {
  if (pair < 1 || pair > 8) return;  // no such pair: the frame is left as it was
  const MapPair& p = map_pairs[pair - 1];
  map_lookup(dest, texture, p.v ? maps.*p.v : nullptr, maps.*p.u, phase);
}
