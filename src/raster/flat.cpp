// The one-colour fillers in 16.16 fixed point: every shape in one routine, a
// pixel at equal depth overwrites the stored one. The Clip = false copy has no
// screen-edge test and no range guard in it.
//
// Depths are widened: every running value is held in 64 bits, and vertex
// depths are held inside +-2^29 on entry. Inside that bound no product or
// dividend below can leave 64 bits (the largest, a span's depth difference
// shifted up 16, stays below 2^62) and every stored depth fits 32 bits, so a
// depth above 32767 gives the same ordering as any other. For columns, rows and
// depths within +-32767 the results are those of the 32-bit forms.
#include <cstdint>

#include "raster/fill.h"
#include "raster/raster.h"

namespace raster {
namespace {

using Vertex = ScreenVertex;
using i64 = std::int64_t;

constexpr std::int32_t RANGE = 32767;
constexpr std::int32_t DEPTH_LIMIT = 1 << 29;

constexpr i64 fixed(i64 n) { return n * 65536; }
// The integer part, rounding toward minus infinity (>> is arithmetic in C++20).
constexpr i64 whole(i64 v) { return v >> 16; }
// a / b: the dividend shifted up 16, truncated toward zero.
constexpr i64 fixed_div(i64 a, i64 b) { return a * 65536 / b; }
// a * b shifted down 16, rounding toward minus infinity.
constexpr i64 fixed_mul(i64 a, i64 b) { return (a * b) >> 16; }

struct Edge {
  i64 x, z;    // 16.16
  i64 dx, dz;  // per row
};

// An edge starting at p and stepping toward q over `dy` rows.
inline Edge edge_toward(const Vertex& p, const Vertex& q, i64 dy) {
  return {fixed(p.x), fixed(p.z), fixed_div(fixed(i64{q.x} - p.x), fixed(dy)),
          fixed_div(fixed(i64{q.z} - p.z), fixed(dy))};
}

// Moves an edge down `rows` rows at once. The fixed product of a step and
// rows shifted up 16 is exactly step * rows; written so, the depth product
// cannot overflow.
inline void edge_skip(Edge& e, i64 rows) {
  e.x += e.dx * rows;
  e.z += e.dz * rows;
}

template <bool Clip>
inline void span(const RasterTarget& target, i64 y, const Edge& left, const Edge& right,
                 std::uint32_t shade) {
  const i64 l = whole(left.x), r = whole(right.x);
  if constexpr (Clip) {
    if (l > LAST_COLUMN || r < 0) return;
  }
  const i64 step = r == l ? 0 : fixed_div(right.z - left.z, fixed(r - l));
  i64 depth = left.z;
  i64 start = l, end = r;
  if constexpr (Clip) {
    if (l < 0) {
      start = 0;
      depth += fixed_mul(step, -left.x);
    }
    if (r > LAST_COLUMN) end = LAST_COLUMN;
  }
  std::uint32_t* pixels = target_row(target, y);
  std::int32_t* depths = depth_row(target, y);
  for (i64 x = start; x <= end; ++x) {
    const auto d = static_cast<std::int32_t>(whole(depth));
    if (depths[x] >= d) {
      pixels[x] = shade;
      depths[x] = d;
    }
    depth += step;
  }
}

// Rows first..last (clipped to the screen in the clipping copy); edges that
// start above row 0 are first moved down to it.
template <bool Clip>
inline void run(const RasterTarget& target, i64 first, i64 last, Edge& left, Edge& right,
                std::uint32_t shade) {
  if constexpr (Clip) {
    if (first < 0) {
      edge_skip(left, -first);
      edge_skip(right, -first);
      first = 0;
    }
    if (last > LAST_ROW) last = LAST_ROW;
  }
  for (i64 y = first; y <= last; ++y) {
    span<Clip>(target, y, left, right, shade);
    left.x += left.dx;
    left.z += left.dz;
    right.x += right.dx;
    right.z += right.dz;
  }
}

inline bool outside_range(i64 v) { return v < -RANGE || v > RANGE; }

// Coordinates and their differences must fit the 16.16 form.
inline bool out_of_range(const Vertex* v) {
  for (int k = 0; k < 3; ++k) {
    if (outside_range(v[k].x) || outside_range(v[k].y)) return true;
    const Vertex& n = v[(k + 1) % 3];
    if (outside_range(i64{v[k].x} - n.x) || outside_range(i64{v[k].y} - n.y)) return true;
  }
  return false;
}

template <bool Clip>
void fill_flat(const RasterTarget& target, const Vertex& v0, const Vertex& v1, const Vertex& v2,
               std::uint32_t shade) {
  if (v0.y == v1.y && v1.y == v2.y) return;
  if (v0.x == v1.x && v1.x == v2.x) return;
  const Vertex v[3] = {v0, v1, v2};
  if constexpr (Clip) {
    if (out_of_range(v)) return;
  }
  const RowOrder order = order_by_row(v0.y, v1.y, v2.y);
  Vertex t = v[order.top], m = v[order.middle], b = v[order.bottom];
  if constexpr (Clip) {
    if (off_screen(t, m, b)) return;
  }
  t.z = std::clamp(t.z, -DEPTH_LIMIT, DEPTH_LIMIT);
  m.z = std::clamp(m.z, -DEPTH_LIMIT, DEPTH_LIMIT);
  b.z = std::clamp(b.z, -DEPTH_LIMIT, DEPTH_LIMIT);

  if (t.y == m.y || m.y == b.y) {
    // A flat top or bottom: one run, both edges over all its rows.
    const i64 dy = i64{b.y} - t.y;
    const SideEdges side = side_edges(t, m, b);
    Edge left = edge_toward(*side.left_from, *side.left_to, dy);
    Edge right = edge_toward(*side.right_from, *side.right_to, dy);
    run<Clip>(target, t.y, b.y, left, right, shade);
    return;
  }

  // General: the long edge top to bottom, the short one bending at the middle.
  Edge edge_long = edge_toward(t, b, i64{b.y} - t.y);
  const i64 upper_rows = i64{m.y} - t.y;
  const i64 long_column = t.x + whole(fixed_mul(edge_long.dx, fixed(upper_rows)));
  const bool middle_left = m.x < long_column;  // a tie puts it on the right
  Edge edge_short;
  Edge& l = middle_left ? edge_short : edge_long;
  Edge& r = middle_left ? edge_long : edge_short;
  const i64 lower_rows = i64{b.y} - m.y;

  if constexpr (Clip) {
    if (m.y < 0) {
      // The upper run lies above the screen. The long edge is taken to the
      // first row of the lower run, where the upper run would have left it.
      edge_short = edge_toward(m, b, lower_rows);
      edge_skip(edge_long, upper_rows + 1);
      run<true>(target, i64{m.y} + 1, b.y, l, r, shade);
      return;
    }
  }
  edge_short = edge_toward(t, m, upper_rows);
  run<Clip>(target, t.y, m.y, l, r, shade);
  // The lower run starts the short edge at the middle vertex itself.
  edge_short = edge_toward(m, b, lower_rows);
  run<Clip>(target, i64{m.y} + 1, b.y, l, r, shade);
}

}  // namespace
}  // namespace raster

void draw_flat_triangle(const RasterTarget& target, std::uint32_t shade, bool clip,
                        const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  if (clip)
    raster::fill_flat<true>(target, a, b, c, shade);
  else
    raster::fill_flat<false>(target, a, b, c, shade);
}
