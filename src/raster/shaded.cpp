// The smooth-shaded fillers: intensity and depth interpolated in single
// precision down two edges and across each row, strict depth test (a pixel at
// equal depth is not drawn). A triangle is ordered top to bottom and filled in
// one run of rows when it has a flat top or bottom, in two (split at the
// middle row) otherwise. Each shape is one template; the Clip = false copy has
// no screen-edge test in it and trusts its caller that the whole triangle lies
// on screen.
#include <cstdint>

#include "raster/fill.h"
#include "raster/raster.h"

namespace raster {
namespace {

using Vertex = ScreenVertex;

// A running edge: column, intensity and depth with their per-row steps.
struct Edge {
  float x, t, z;
  float dx, dt, dz;
};

// Steps of the edge from p down to q. The differences are taken in 64-bit
// integers (32-bit input cannot overflow them) and divided in single precision.
inline void edge_steps(Edge& e, const Vertex& p, const Vertex& q) {
  const float dy = static_cast<float>(std::int64_t{q.y} - p.y);
  e.dx = static_cast<float>(std::int64_t{q.x} - p.x) / dy;
  e.dt = static_cast<float>(std::int64_t{q.i} - p.i) / dy;
  e.dz = static_cast<float>(std::int64_t{q.z} - p.z) / dy;
}

// The edge's values on row `row`, measured from the vertex it is anchored at.
inline void edge_start(Edge& e, const Vertex& anchor, std::int64_t row) {
  const float rows = static_cast<float>(row - anchor.y);
  e.x = static_cast<float>(anchor.x) + e.dx * rows;
  e.t = static_cast<float>(anchor.i) + e.dt * rows;
  e.z = static_cast<float>(anchor.z) + e.dz * rows;
}

inline void edge_advance(Edge& e) {
  e.x += e.dx;
  e.t += e.dt;
  e.z += e.dz;
}

inline void edge_retreat(Edge& e) {
  e.x -= e.dx;
  e.t -= e.dt;
  e.z -= e.dz;
}

template <bool Clip>
inline void span(const RasterTarget& target, const std::uint32_t* shades, std::int64_t y,
                 const Edge& left, const Edge& right) {
  const std::int64_t l = column_of(left.x);
  const std::int64_t r = column_of(right.x);
  if constexpr (Clip) {
    if (l > LAST_COLUMN || r < 0) return;
  }
  float dt = 0.0f, dz = 0.0f;
  if (r != l) {
    const float width = static_cast<float>(r - l);
    dt = (right.t - left.t) / width;
    dz = (right.z - left.z) / width;
  }
  float t = left.t, z = left.z;
  std::int64_t start = l, end = r;
  if constexpr (Clip) {
    if (l < 0) {
      // Measured from the unrounded left edge, not from column l.
      start = 0;
      t = left.t + dt * -left.x;
      z = left.z + dz * -left.x;
    }
    if (r > LAST_COLUMN) end = LAST_COLUMN;
  }
  std::uint32_t* pixels = target_row(target, y);
  std::int32_t* depths = depth_row(target, y);
  for (std::int64_t x = start; x <= end; ++x) {
    const std::int32_t d = depth_of(z);
    if (depths[x] > d) {
      depths[x] = d;
      pixels[x] = shades[shade_index(t)];
    }
    t += dt;
    z += dz;
  }
}

template <bool Clip>
inline void rows(const RasterTarget& target, const std::uint32_t* shades, std::int64_t first,
                 std::int64_t last, Edge& left, Edge& right) {
  for (std::int64_t y = first; y <= last; ++y) {
    span<Clip>(target, shades, y, left, right);
    edge_advance(left);
    edge_advance(right);
  }
}

inline std::int64_t last_row(std::int64_t row) { return row > LAST_ROW ? LAST_ROW : row; }

// Rows first..last (clipped to the screen in the clipping copy), both edges
// started on the first row from the vertex they are anchored at.
template <bool Clip>
inline void run(const RasterTarget& target, const std::uint32_t* shades, const Vertex& anchor,
                std::int64_t first, std::int64_t last, Edge& left, Edge& right) {
  if constexpr (Clip) {
    if (first < 0) first = 0;
    last = last_row(last);
  }
  edge_start(left, anchor, first);
  edge_start(right, anchor, first);
  rows<Clip>(target, shades, first, last, left, right);
}

// A flat bottom or a flat top: one run of rows, top to bottom, both edges
// anchored at the vertex they share (the top of a flat bottom, the bottom of
// a flat top).
template <bool Clip>
void fill_one_run(const RasterTarget& target, const std::uint32_t* shades, const Vertex& t,
                  const Vertex& m, const Vertex& b) {
  if constexpr (Clip) {
    if (off_screen(t, m, b)) return;
  }
  // Three vertices on one row draw nothing (and would give no steps).
  if (b.y == t.y) return;
  const SideEdges side = side_edges(t, m, b);
  Edge left, right;
  edge_steps(left, *side.left_from, *side.left_to);
  edge_steps(right, *side.right_from, *side.right_to);
  run<Clip>(target, shades, m.y == b.y ? t : b, t.y, b.y, left, right);
}

// Three distinct rows: upper half down to the middle row, lower half below it.
template <bool Clip>
void fill_split(const RasterTarget& target, const std::uint32_t* shades, const Vertex& t,
                const Vertex& m, const Vertex& b) {
  if constexpr (Clip) {
    if (off_screen(t, m, b)) return;
  }
  // Column of the long edge at the middle row. Double precision keeps the
  // comparison exact for every screen-sized triangle, ties included.
  const double long_x = t.x + static_cast<double>(std::int64_t{t.x} - b.x) *
                                  static_cast<double>(std::int64_t{m.y} - t.y) /
                                  static_cast<double>(std::int64_t{t.y} - b.y);
  const bool middle_left = long_x > m.x;
  Edge edge_long, edge_short;
  edge_steps(edge_long, t, b);
  Edge& left = middle_left ? edge_short : edge_long;
  Edge& right = middle_left ? edge_long : edge_short;

  if constexpr (Clip) {
    if (m.y < 0) {
      // The upper half is wholly above the screen: both edges are taken from
      // the bottom vertex at row 0.
      edge_steps(edge_short, m, b);
      run<true>(target, shades, b, 0, b.y, left, right);
      return;
    }
  }
  edge_steps(edge_short, t, m);
  run<Clip>(target, shades, t, t.y, m.y, left, right);

  // The short edge turns at the middle vertex: back one old step to the
  // middle row, then one step of the new edge to the row below it.
  edge_retreat(edge_short);
  edge_steps(edge_short, m, b);
  edge_advance(edge_short);
  rows<Clip>(target, shades, std::int64_t{m.y} + 1, Clip ? last_row(b.y) : b.y, left, right);
}

template <bool Clip>
void fill_shaded(const RasterTarget& target, const std::uint32_t* shades, const Vertex& a,
                 const Vertex& b, const Vertex& c) {
  const Vertex* v[3] = {&a, &b, &c};
  const RowOrder order = order_by_row(a.y, b.y, c.y);
  const Vertex& top = *v[order.top];
  const Vertex& middle = *v[order.middle];
  const Vertex& bottom = *v[order.bottom];
  if (middle.y == bottom.y || middle.y == top.y)
    fill_one_run<Clip>(target, shades, top, middle, bottom);
  else
    fill_split<Clip>(target, shades, top, middle, bottom);
}

}  // namespace
}  // namespace raster

void draw_shaded_triangle(const RasterTarget& target, const std::uint32_t* shades, bool clip,
                          const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  if (clip)
    raster::fill_shaded<true>(target, shades, a, b, c);
  else
    raster::fill_shaded<false>(target, shades, a, b, c);
}
