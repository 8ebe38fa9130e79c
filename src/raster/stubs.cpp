// STUB: replaced by the face drawer and the fillers.
#include "raster/raster.h"
void draw_faces(ObjectList*) {}
void shaded_triangle(const std::uint32_t*, int, int, int, int, int, int, int, int, int, int, int, int, int) {}
#define S(name) void name(const std::uint32_t*, int, int, int, int, int, int, int, int, int, int, int, int) {}
S(shaded_bottom_clip) S(shaded_bottom) S(shaded_top_clip) S(shaded_top) S(shaded_split_clip) S(shaded_split)
void flat_triangle_clip(int, int, int, int, int, int, int, int, int, std::uint32_t) {}
void flat_triangle(int, int, int, int, int, int, int, int, int, std::uint32_t) {}
