// Scene 7: two copies of a texture seen through a relief fixed on the screen,
// the second one trailing (its frame is never cleared here), summed with the
// lift.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/frame.h"
#include "effects/channels.h"
#include "effects/effects.h"
#include "effects/lookup.h"

namespace {

// Texels (1..254, 1..254) of the image at screen (u + ox, v + oy), each
// displaced by the relief under its screen position.
void bump_draw(std::uint32_t* __restrict out, const std::uint32_t* __restrict image,
               const BumpTables& tables, const Path& path, int index) {
  const int ox = path.x[index], oy = path.y[index];
  const int u0 = std::max(1, -ox), u1 = std::min(255, FRAME_WIDTH - ox);
  const int v0 = std::max(1, -oy), v1 = std::min(255, FRAME_HEIGHT - oy);
  for (int v = v0; v < v1; v++) {
    const int base = (v + oy) * FRAME_WIDTH + ox;
    const std::int32_t* __restrict dx = tables.dx + base;
    const std::int32_t* __restrict dy = tables.dy + base;
    std::uint32_t* __restrict row = out + base;
    const std::uint32_t vv = static_cast<std::uint32_t>(v) * 256u;
    int u = u0;
#if defined(__SSE2__)
    // The texel's own place vv + u climbs by one per pixel.
    __m128i place =
        _mm_add_epi32(_mm_set1_epi32(static_cast<int>(vv + static_cast<std::uint32_t>(u0))),
                      _mm_setr_epi32(0, 1, 2, 3));
    for (; u + 4 <= u1; u += 4) {
      const __m128i index = lookup::index4(lookup::load4(dy + u), lookup::load4(dx + u), place);
      lookup::store4(row + u, lookup::texels4(image, index));
      place = _mm_add_epi32(place, _mm_set1_epi32(4));
    }
#endif
    for (; u < u1; u++) {
      const std::uint32_t index = vv + static_cast<std::uint32_t>(dy[u]) * 256u +
                                  static_cast<std::uint32_t>(u) + static_cast<std::uint32_t>(dx[u]);
      row[u] = image[index & 0xFFFFu];
    }
  }
}

}  // namespace

void twin_bump(std::uint32_t* __restrict first, std::uint32_t* __restrict second,
               const BumpTables& tables, const std::uint32_t* __restrict image, std::int32_t p,
               std::int32_t q, std::uint32_t lift) {
  std::memset(first, 0, FRAME_BYTES);
  bump_draw(first, image, tables, tables.first, path_wrap(p));
  bump_draw(second, image, tables, tables.second, path_wrap(q));
  channels::sum_span(first, first, second, lift, FRAME_PIXELS);
}
