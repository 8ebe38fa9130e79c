// The face drawer: projects each drawable face's camera-space vertices, cuts
// the polygon into a fan of triangles and hands them to the filler its shading
// asks for. Objects are visited last to first and faces last to first; the
// z-buffer decides visibility, the order only settles ties.
#include <algorithm>
#include <cstdint>

#include "common/convert.h"
#include "engine/engine.h"
#include "raster/fill.h"
#include "raster/raster.h"

namespace raster {
namespace {

constexpr int MAX_POLYGON = 5;  // a quadrilateral cut by the near plane

// 32-bit wrap-around, as the x86 arithmetic gives for the odd vertex far outside.
inline std::int32_t wrap_add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t wrap_sub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// Camera-space y grows upward and rows downward, hence the centre row minus y.
inline void project(ScreenVertex& p, float s, const Vec4& v) {
  p.x = wrap_add(to_int32(s * v.x), SCREEN_CENTRE_X);
  p.y = wrap_sub(SCREEN_CENTRE_Y, to_int32(s * v.y));
}

inline bool on_screen(const ScreenVertex& p) {
  return p.x >= 0 && p.x <= LAST_COLUMN && p.y >= 0 && p.y <= LAST_ROW;
}

// The face's polygon in screen space; 0 when the face cannot be drawn (bad
// vertex count or index, a vertex at or behind the eye).
int face_polygon(const Object& object, const Face& face, float focal, ScreenVertex* p) {
  if (!face.near_clipped) {
    const int n = face.vertex_count;
    if (n < 3 || n > 4) return 0;
    for (int k = 0; k < n; ++k) {
      const std::int32_t index = face.indices[k];
      if (index < 0 || index >= object.vertex_count) return 0;
      const Vec4& v = object.view_vertices[index];
      // Divided by the truncated depth, which is also the depth stored.
      const std::int32_t d = to_int32(v.z);
      if (d <= 0) return 0;
      project(p[k], focal / static_cast<float>(d), v);
      p[k].z = d;
      p[k].i = face.vertex_intensity[k];
    }
    return n;
  }
  const int n = face.clip_count;
  if (n < 3 || n > MAX_POLYGON) return 0;
  for (int k = 0; k < n; ++k) {
    const Vec4& v = face.clip_vertices[k];
    if (!(v.z > 0.0f)) return 0;
    project(p[k], focal / v.z, v);
    p[k].z = to_int32(v.z);
    p[k].i = face.clip_intensity[k];
  }
  return n;
}

struct FacePaint {
  const RasterTarget& target;
  const std::uint32_t* shades;
  std::uint32_t shade;  // flat and unlit faces
  bool smooth;
  bool clip;
};

inline void draw_triangle(const FacePaint& paint, const ScreenVertex& a, const ScreenVertex& b,
                          const ScreenVertex& c) {
  if (paint.smooth)
    draw_shaded_triangle(paint.target, paint.shades, paint.clip, a, b, c);
  else
    draw_flat_triangle(paint.target, paint.shade, paint.clip, a, b, c);
}

void draw_face(const RasterTarget& target, const ObjectList& list, const Object& object,
               const Face& face, float focal) {
  if (face.ramp < 0 || face.ramp >= std::min(list.ramp_count, MAX_RAMPS)) return;
  const ShadeRamp* ramp = list.ramps[face.ramp];
  if (!ramp) return;
  ScreenVertex p[MAX_POLYGON];
  const int n = face_polygon(object, face, focal, p);
  if (n == 0) return;

  FacePaint paint{target, ramp->shades, 0, face.shading == SHADING_SMOOTH, face.edge_clip != 0};
  if (face.shading == SHADING_FLAT)
    paint.shade = ramp->shades[std::clamp(face.intensity, 0, 255)];
  else
    paint.shade = ramp->shades[255];
  // A face marked on screen that projects off it anyway goes to the clipping
  // fillers: the others write without any bounds test.
  if (!paint.clip && !std::all_of(p, p + n, on_screen)) paint.clip = true;

  if (n == 3) {
    draw_triangle(paint, p[0], p[1], p[2]);
  } else if (n == 4) {
    draw_triangle(paint, p[0], p[1], p[2]);
    draw_triangle(paint, p[0], p[3], p[2]);
  } else {
    for (int k = n - 1; k >= 2; --k) draw_triangle(paint, p[0], p[k], p[k - 1]);
  }
}

}  // namespace
}  // namespace raster

void draw_faces(const ObjectList* list, const RasterTarget& target, float focal) {
  for (int o = std::min(list->count, MAX_OBJECTS) - 1; o >= 0; --o) {
    const Object* object = list->objects[o];
    if (!object || !object->visible || object->face_count <= 0) continue;
    for (int k = object->face_count - 1; k >= 0; --k) {
      const Face& face = object->faces[k];
      if (face.drawable) raster::draw_face(target, *list, *object, face, focal);
    }
  }
}
