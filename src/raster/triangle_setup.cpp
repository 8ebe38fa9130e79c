// One smooth-shaded triangle: ordered top to bottom, classified by which rows
// coincide and handed to the filler of its shape.
#include <cstdint>

#include "raster/fill.h"
#include "raster/raster.h"

void shaded_triangle(const std::uint32_t* shades, int clip, int x0, int y0, int z0, int i0, int x1,
                     int y1, int z1, int i1, int x2, int y2, int z2, int i2) {
  const raster::ScreenVertex v[3] = {{x0, y0, z0, i0}, {x1, y1, z1, i1}, {x2, y2, z2, i2}};
  const raster::RowOrder order = raster::order_by_row(y0, y1, y2);
  const raster::ScreenVertex& t = v[order.top];
  const raster::ScreenVertex& m = v[order.middle];
  const raster::ScreenVertex& b = v[order.bottom];

  // Flat bottom is tested first, so three vertices on one row land there.
  using Filler = void (*)(const std::uint32_t*, int, int, int, int, int, int, int, int, int, int,
                          int, int);
  Filler fill;
  if (m.y == b.y)
    fill = clip ? shaded_bottom_clip : shaded_bottom;
  else if (m.y == t.y)
    fill = clip ? shaded_top_clip : shaded_top;
  else
    fill = clip ? shaded_split_clip : shaded_split;
  fill(shades, t.x, t.y, t.z, t.i, m.x, m.y, m.z, m.i, b.x, b.y, b.z, b.i);
}
