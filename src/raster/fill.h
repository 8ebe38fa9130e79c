// What the triangle fillers share: the vertex order, the screen limits and the
// conversions that keep every value defined whatever the input.
#pragma once
#include <algorithm>
#include <cstdint>

#include "common/frame.h"
#include "raster/raster.h"

namespace raster {

constexpr int LAST_COLUMN = FRAME_WIDTH - 1;  // 319
constexpr int LAST_ROW = FRAME_HEIGHT - 1;    // 239

// Indices of the top, middle and bottom vertex. The tie-breaks decide which
// vertex is called top or middle, and the left/right choices of the fillers
// depend on that naming, so the tree is fixed.
struct RowOrder {
  int top, middle, bottom;
};
constexpr RowOrder order_by_row(std::int32_t y0, std::int32_t y1, std::int32_t y2) {
  if (y0 < y1) {
    if (y1 <= y2) return {0, 1, 2};
    if (y2 >= y0) return {0, 2, 1};
    return {2, 0, 1};
  }
  if (y0 < y2) return {1, 0, 2};
  if (y2 >= y1) return {1, 2, 0};
  return {2, 1, 0};
}

// Truncation toward zero of a running edge column. Edge values never leave
// about +-2^33 for 32-bit input, so the clamp only keeps the conversion
// defined; it never changes a result.
inline std::int64_t column_of(float x) {
  constexpr float LIMIT = 1099511627776.0f;  // 2^40
  return static_cast<std::int64_t>(std::clamp(x, -LIMIT, LIMIT));
}

// The depth stored for a running shaded depth: truncated toward zero, held
// inside the int32 range (interpolation can only leave it for vertex depths
// at the very ends of that range).
inline std::int32_t depth_of(float z) {
  return static_cast<std::int32_t>(std::clamp(z, -2147483648.0f, 2147483520.0f));
}

// The shade index of a running intensity. Between a row's ends it stays inside
// the two edge intensities, but the start of a row clipped at column 0 and
// accumulated rounding can carry it just outside 0..255: it is clamped here,
// when the shades are read. Clamping before truncating equals truncating and
// then clamping, and keeps the conversion defined.
inline int shade_index(float t) { return static_cast<int>(std::clamp(t, 0.0f, 255.0f)); }

// Nothing of a triangle ordered top to bottom can reach the screen.
constexpr bool off_screen(const ScreenVertex& t, const ScreenVertex& m, const ScreenVertex& b) {
  return t.y > LAST_ROW || b.y < 0 || (t.x < 0 && m.x < 0 && b.x < 0) ||
         (t.x > LAST_COLUMN && m.x > LAST_COLUMN && b.x > LAST_COLUMN);
}

// The two edges of a triangle ordered top to bottom with a flat bottom
// (middle.y = bottom.y: both edges leave the top vertex) or a flat top (both
// reach the bottom vertex). Of the two vertices on the flat row, the one
// further left starts the left edge; a tie gives the left edge to the bottom
// vertex of a flat bottom and to the middle vertex of a flat top.
struct SideEdges {
  const ScreenVertex *left_from, *left_to, *right_from, *right_to;
};
constexpr SideEdges side_edges(const ScreenVertex& t, const ScreenVertex& m,
                               const ScreenVertex& b) {
  if (m.y == b.y) return b.x > m.x ? SideEdges{&t, &m, &t, &b} : SideEdges{&t, &b, &t, &m};
  return t.x < m.x ? SideEdges{&t, &b, &m, &b} : SideEdges{&m, &b, &t, &b};
}

inline std::uint32_t* target_row(const RasterTarget& target, std::int64_t y) {
  return target.pixels.data() + y * FRAME_WIDTH;
}
inline std::int32_t* depth_row(const RasterTarget& target, std::int64_t y) {
  return target.depths.data() + y * FRAME_WIDTH;
}

}  // namespace raster
