// Back-face test and lighting, in world space: one fixed directional light
// plus an ambient term give every face (flat) or face vertex (smooth) a light
// level 0..255 that indexes its shade ramp.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/convert.h"
#include "engine/engine.h"
#include "engine/pass/render.h"

const Vec4 light_direction = {0.0f, 0.0f, -1.0f, 0.0f};

namespace {

inline double light_dot(float nx, float ny, float nz) {
  return static_cast<double>(nx) * light_direction.x + static_cast<double>(ny) * light_direction.y +
         static_cast<double>(nz) * light_direction.z;
}

// Flat faces add the ambient term before truncating, smooth vertices after.
inline std::int32_t flat_level(double c) {
  if (!(c > 0.0)) return AMBIENT_LEVEL;
  return std::min<std::int32_t>(255, to_int32(255.0 * c + AMBIENT_LEVEL));
}

inline std::int32_t vertex_level(double c) {
  if (!(c > 0.0)) return AMBIENT_LEVEL;
  return std::min<std::int32_t>(255, AMBIENT_LEVEL + to_int32(255.0 * c));
}

// side is +1 for the front, -1 for a two-sided face seen from behind.
inline std::int32_t normal_level(const Vec4& n, double side) {
  return vertex_level(side * light_dot(n.x, n.y, n.z));
}

// One face seen from the side given by `side`. The cache (null for two-sided
// faces and for objects that do not declare smooth shading) shares the levels
// of one object's vertices between its one-sided faces; 0 means not yet lit.
void light_face(const Object* object, Face* face, double side, std::int32_t* cache) {
  if (face->shading == SHADING_FLAT) {
    face->intensity = flat_level(side * light_dot(face->normal.x, face->normal.y, face->normal.z));
  } else if (face->shading == SHADING_SMOOTH) {
    const Vec4* normals = object->vertex_normals;
    for (int k = face->vertex_count - 1; k >= 0; --k) {
      const std::int32_t n = face->indices[k];
      if (cache != nullptr && n >= 0 && n < MAX_VERTICES) {
        if (cache[n] == 0) cache[n] = normal_level(normals[n], side);
        face->vertex_intensity[k] = cache[n];
      } else {
        face->vertex_intensity[k] = normal_level(normals[n], side);
      }
    }
  } else {
    face->intensity = 255;  // unlit: the brightest shade from either side
  }
}

}  // namespace

void shade_faces(ObjectList* list, const Camera* camera) {
  std::int32_t cache[MAX_VERTICES];
  const Vec4 eye = camera->position;
  for (int i = list->count - 1; i >= 0; --i) {
    Object* object = list->objects[i];
    if (!object->visible) continue;
    std::int32_t* object_cache = nullptr;
    if (object->smooth != 0) {
      const int n = std::clamp(object->vertex_count, 0, MAX_VERTICES);
      std::memset(cache, 0, sizeof(cache[0]) * static_cast<std::size_t>(n));
      object_cache = cache;
    }
    for (int f = object->face_count - 1; f >= 0; --f) {
      Face* face = &object->faces[f];
      if (!face->drawable) continue;
      if (face->vertex_count < 3 || face->vertex_count > 4) {
        face->drawable = 0;  // not a face the later stages can hold
        continue;
      }
      if (face->two_sided != 0 && face->shading == 0) {
        face->intensity = 255;
        continue;
      }
      const Vec4& p = object->world_vertices[face->indices[0]];
      const float vx = eye.x - p.x, vy = eye.y - p.y, vz = eye.z - p.z;
      const double b = static_cast<double>(vx) * face->normal.x +
                       static_cast<double>(vy) * face->normal.y +
                       static_cast<double>(vz) * face->normal.z;
      if (face->two_sided == 0) {
        if (b > 0.0)
          light_face(object, face, 1.0, object_cache);
        else
          face->drawable = 0;
      } else if (b > 0.0) {
        light_face(object, face, 1.0, nullptr);
      } else if (b < 0.0) {
        light_face(object, face, -1.0, nullptr);
      } else {
        face->drawable = 0;
      }
    }
  }
}
