// The smooth-shaded fillers: intensity and depth interpolated in single
// precision down two edges and across each row, strict depth test (a pixel at
// equal depth is not drawn). Each shape is one template; the Clip = false copy
// has no screen-edge test in it and trusts its caller that the whole triangle
// lies on screen.
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
inline void span(const std::uint32_t* shades, std::int64_t y, const Edge& left, const Edge& right) {
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
  std::uint32_t* pixels = target_row(y);
  std::int32_t* depths = depth_row(y);
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
inline void rows(const std::uint32_t* shades, std::int64_t first, std::int64_t last, Edge& left,
                 Edge& right) {
  for (std::int64_t y = first; y <= last; ++y) {
    span<Clip>(shades, y, left, right);
    edge_advance(left);
    edge_advance(right);
  }
}

// Nothing of the triangle can reach the screen.
inline bool off_screen(const Vertex& t, const Vertex& m, const Vertex& b) {
  return t.y > LAST_ROW || b.y < 0 || (t.x < 0 && m.x < 0 && b.x < 0) ||
         (t.x > LAST_COLUMN && m.x > LAST_COLUMN && b.x > LAST_COLUMN);
}

inline std::int64_t first_row(std::int64_t row) { return row < 0 ? 0 : row; }
inline std::int64_t last_row(std::int64_t row) { return row > LAST_ROW ? LAST_ROW : row; }

// Middle and bottom vertex on one row.
template <bool Clip>
void fill_bottom(const std::uint32_t* shades, const Vertex& t, const Vertex& m, const Vertex& b) {
  if constexpr (Clip) {
    if (off_screen(t, m, b)) return;
  }
  // Three vertices on one row draw nothing (and would give no steps).
  if (m.y <= t.y || b.y <= t.y) return;
  Edge left, right;
  if (b.x > m.x) {
    edge_steps(left, t, m);
    edge_steps(right, t, b);
  } else {
    edge_steps(left, t, b);
    edge_steps(right, t, m);
  }
  std::int64_t first = t.y, last = m.y;
  if constexpr (Clip) {
    first = first_row(first);
    last = last_row(last);
  }
  edge_start(left, t, first);
  edge_start(right, t, first);
  rows<Clip>(shades, first, last, left, right);
}

// Top and middle vertex on one row: both edges are anchored at the bottom.
template <bool Clip>
void fill_top(const std::uint32_t* shades, const Vertex& t, const Vertex& m, const Vertex& b) {
  if constexpr (Clip) {
    if (off_screen(t, m, b)) return;
  }
  if (b.y <= t.y || b.y <= m.y) return;
  Edge left, right;
  const Vertex* left_from = &m;
  const Vertex* right_from = &t;
  if (t.x < m.x) std::swap(left_from, right_from);
  edge_steps(left, *left_from, b);
  edge_steps(right, *right_from, b);
  std::int64_t first = t.y, last = b.y;
  if constexpr (Clip) {
    first = first_row(first);
    last = last_row(last);
  }
  edge_start(left, b, first);
  edge_start(right, b, first);
  rows<Clip>(shades, first, last, left, right);
}

// Three distinct rows: upper half down to the middle row, lower half below it.
template <bool Clip>
void fill_split(const std::uint32_t* shades, const Vertex& t, const Vertex& m, const Vertex& b) {
  if constexpr (Clip) {
    if (off_screen(t, m, b)) return;
  }
  if (m.y <= t.y || b.y <= m.y) return;
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
      edge_start(edge_short, b, 0);
      edge_start(edge_long, b, 0);
      rows<true>(shades, 0, last_row(b.y), left, right);
      return;
    }
  }
  edge_steps(edge_short, t, m);
  std::int64_t first = t.y, last = m.y;
  if constexpr (Clip) {
    first = first_row(first);
    last = last_row(last);
  }
  edge_start(edge_short, t, first);
  edge_start(edge_long, t, first);
  rows<Clip>(shades, first, last, left, right);

  if constexpr (Clip) {
    if (m.y >= LAST_ROW) return;
  }
  // The short edge turns at the middle vertex: back one old step to the
  // middle row, then one step of the new edge to the row below it.
  edge_retreat(edge_short);
  edge_steps(edge_short, m, b);
  edge_advance(edge_short);
  rows<Clip>(shades, std::int64_t{m.y} + 1, Clip ? last_row(b.y) : b.y, left, right);
}

}  // namespace
}  // namespace raster

#define QN_SHADED(name, shape, clip)                                                             \
  void name(const std::uint32_t* shades, int tx, int ty, int tz, int ti, int mx, int my, int mz, \
            int mi, int bx, int by, int bz, int bi) {                                            \
    raster::shape<clip>(shades, {tx, ty, tz, ti}, {mx, my, mz, mi}, {bx, by, bz, bi});           \
  }
QN_SHADED(shaded_bottom_clip, fill_bottom, true)
QN_SHADED(shaded_bottom, fill_bottom, false)
QN_SHADED(shaded_top_clip, fill_top, true)
QN_SHADED(shaded_top, fill_top, false)
QN_SHADED(shaded_split_clip, fill_split, true)
QN_SHADED(shaded_split, fill_split, false)
#undef QN_SHADED
