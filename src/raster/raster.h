// The face drawer and the depth-tested triangle fillers. They draw into the
// target they are given and nowhere else.
#pragma once
#include <cstdint>
#include <span>

#include "common/frame.h"
#include "engine/engine.h"

using DepthSpan = std::span<std::int32_t, FRAME_PIXELS>;

// A frame and its z-buffer, in the same layout; smaller depths are nearer.
struct RasterTarget {
  FrameSpan pixels;
  DepthSpan depths;
};

// One screen vertex: column, row and depth, and for smooth faces the light level.
struct ScreenVertex {
  std::int32_t x, y, z;
  std::int32_t i = 0;
};

// Projects every drawable face of every visible object with the projection
// distance `focal`, cuts it into triangles and fills them. Called by
// render_scene.
void draw_faces(const ObjectList* list, const RasterTarget& target, float focal);

// One triangle, vertices in any order. `clip` selects the fillers that clip
// to the screen; without it every vertex must lie on screen.
// Smooth: light levels interpolated, shades[level] drawn where strictly nearer.
void draw_shaded_triangle(const RasterTarget& target, const std::uint32_t* shades, bool clip,
                          const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
// One colour, in 16.16 fixed point, drawn where nearer or at equal depth.
void draw_flat_triangle(const RasterTarget& target, std::uint32_t shade, bool clip,
                        const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
