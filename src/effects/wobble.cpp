// Scene 0's background: a scrolling tile with a rippling copy of a texture
// added onto it, its corner travelling along path a.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/frame.h"
#include "effects/channels.h"
#include "effects/effects.h"

namespace {

// out[x] = src[(x + s) & 255]: each row is the tile row turned by s, so it
// is copied in runs up to the row's wrap.
void tile_fill(std::uint32_t* __restrict dest, const std::uint32_t* __restrict tile,
               std::uint32_t s) {
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const std::uint32_t* __restrict src =
        tile + ((static_cast<std::uint32_t>(y) + s) & 255u) * 256u;
    std::uint32_t* __restrict out = dest + y * FRAME_WIDTH;
    int from = static_cast<int>(s & 255u);
    for (int x = 0; x < FRAME_WIDTH; from = 0) {
      const int n = std::min(TEXTURE_SIZE - from, FRAME_WIDTH - x);
      std::memcpy(out + x, src + from, static_cast<std::size_t>(n) * 4);
      x += n;
    }
  }
}

// Each row shifted by its wobble entry, each column by its own.
void wobble_build(std::uint32_t* __restrict out, const std::uint32_t* __restrict image,
                  const std::int32_t* __restrict wobble) {
  std::uint8_t column[TEXTURE_SIZE];
  for (int u = 0; u < TEXTURE_SIZE; u++) column[u] = static_cast<std::uint8_t>(u + wobble[u]);
  for (int v = 0; v < TEXTURE_SIZE; v++) {
    const std::uint32_t* __restrict src =
        image + static_cast<std::uint8_t>(v + wobble[v]) * TEXTURE_SIZE;
    std::uint32_t* __restrict row = out + v * TEXTURE_SIZE;
    for (int u = 0; u < TEXTURE_SIZE; u++) row[u] = src[column[u]];
  }
}

// Adds the 256x256 image with its corner at (ox, oy); what falls outside the
// frame is skipped.
void blend_clipped(std::uint32_t* dest, const std::uint32_t* image, int ox, int oy) {
  const int u0 = std::max(0, -ox), u1 = std::min(TEXTURE_SIZE, FRAME_WIDTH - ox);
  const int v0 = std::max(0, -oy), v1 = std::min(TEXTURE_SIZE, FRAME_HEIGHT - oy);
  for (int v = v0; v < v1; v++) {
    std::uint32_t* out = dest + (v + oy) * FRAME_WIDTH + ox + u0;
    channels::sum_span(out, out, image + v * TEXTURE_SIZE + u0, 0, u1 - u0);
  }
}

}  // namespace

void opening_background(std::uint32_t* dest, std::uint32_t* wobble_img, const WobbleTables& tables,
                        const std::uint32_t* image, const std::uint32_t* tile, std::int32_t scroll,
                        std::int32_t path) {
  tile_fill(dest, tile, static_cast<std::uint32_t>(scroll));
  wobble_build(wobble_img, image, tables.wobble);
  const int p = path_wrap(path);
  blend_clipped(dest, wobble_img, tables.path.x[p], tables.path.y[p]);
}
