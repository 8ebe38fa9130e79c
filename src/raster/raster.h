// The face drawer and the depth-tested triangle fillers. They draw into the
// target and z-buffer held by render_state (engine.h).
#pragma once
#include <cstdint>

struct ObjectList;

// Projects every drawable face of every visible object, cuts it into
// triangles and fills them. Called by render_scene.
void draw_faces(ObjectList* list);

// One smooth-shaded triangle: orders the vertices top to bottom and calls the
// shaded filler for its shape; clip != 0 selects the screen-clipping fillers.
void shaded_triangle(const std::uint32_t* shades, int clip, int x0, int y0, int z0, int i0, int x1,
                     int y1, int z1, int i1, int x2, int y2, int z2, int i2);

// The six shaded fillers: top, middle, bottom vertex, each x, y, z, i.
#define QN_SHADED_FILLER(name)                                                                   \
  void name(const std::uint32_t* shades, int tx, int ty, int tz, int ti, int mx, int my, int mz, \
            int mi, int bx, int by, int bz, int bi)
QN_SHADED_FILLER(shaded_bottom_clip);
QN_SHADED_FILLER(shaded_bottom);
QN_SHADED_FILLER(shaded_top_clip);
QN_SHADED_FILLER(shaded_top);
QN_SHADED_FILLER(shaded_split_clip);
QN_SHADED_FILLER(shaded_split);
#undef QN_SHADED_FILLER

// One-colour triangles in 16.16 fixed point; vertices in any order.
void flat_triangle_clip(int x0, int y0, int z0, int x1, int y1, int z1, int x2, int y2, int z2,
                        std::uint32_t shade);
void flat_triangle(int x0, int y0, int z0, int x1, int y1, int z1, int x2, int y2, int z2,
                   std::uint32_t shade);
