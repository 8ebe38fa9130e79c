// Mesh building: face normals from the corners, vertex normals as the
// normalised mean of the faces around them, and the three radii.
#include <cmath>
#include <cstdlib>

#include "data/ase/ase.h"
#include "engine/engine.h"
#include "engine/vec.h"

namespace {
constexpr Vec3 DEFAULT_NORMAL = {0.0f, 0.0f, 1.0f};

void normal_set(Vec4* n, Vec3 v) {
  n->x = v.x;
  n->y = v.y;
  n->z = v.z;
}

}  // namespace

int mesh_build(Object* object) {
  const std::int32_t vertex_count = object->vertex_count;
  const std::size_t slots = vertex_count > 0 ? static_cast<std::size_t>(vertex_count) : 1;
  auto* counters = static_cast<std::int32_t*>(std::calloc(slots, sizeof(std::int32_t)));
  if (!counters) return ASE_MESH_NO_MEMORY;
  Vec4* v = object->vertices;
  Vec4* normals = object->vertex_normals;
  for (std::int32_t i = 0; i < vertex_count; ++i) normals[i] = {0.0f, 0.0f, 0.0f, 1.0f};

  for (std::int32_t i = object->face_count - 1; i >= 0; --i) {
    Face& f = object->faces[i];
    const std::int32_t corners = f.vertex_count < 3 ? 3 : f.vertex_count > 4 ? 4 : f.vertex_count;
    bool valid = true;
    for (std::int32_t k = 0; k < corners; ++k)
      valid = valid && f.indices[k] >= 0 && f.indices[k] < vertex_count;
    if (!valid) continue;  // callers hand in checked indices; never read outside
    Vec4 e1, e2, n;
    vec_delta(&v[f.indices[0]], &v[f.indices[1]], &e1);
    vec_delta(&v[f.indices[0]], &v[f.indices[2]], &e2);
    vec_cross(&e2, &e1, &n);
    const float length = vec_length(&n);
    if (length > 0.0f && std::isfinite(length))
      f.normal = {static_cast<float>(n.x / length), static_cast<float>(n.y / length),
                  static_cast<float>(n.z / length)};
    else
      f.normal = DEFAULT_NORMAL;
    for (std::int32_t k = corners - 1; k >= 0; --k) {
      Vec4& vn = normals[f.indices[k]];
      vn.x = static_cast<float>(static_cast<double>(vn.x) + f.normal.x);
      vn.y = static_cast<float>(static_cast<double>(vn.y) + f.normal.y);
      vn.z = static_cast<float>(static_cast<double>(vn.z) + f.normal.z);
      ++counters[f.indices[k]];
    }
  }

  for (std::int32_t i = vertex_count - 1; i >= 0; --i) {
    Vec4& n = normals[i];
    if (counters[i] == 0) {
      normal_set(&n, DEFAULT_NORMAL);
      continue;
    }
    n.x = static_cast<float>(static_cast<double>(n.x) / counters[i]);
    n.y = static_cast<float>(static_cast<double>(n.y) / counters[i]);
    n.z = static_cast<float>(static_cast<double>(n.z) / counters[i]);
    const float length = vec_length(&n);
    if (length > 0.0f && std::isfinite(length)) {
      n.x = static_cast<float>(n.x / static_cast<double>(length));
      n.y = static_cast<float>(n.y / static_cast<double>(length));
      n.z = static_cast<float>(n.z / static_cast<double>(length));
    } else {
      normal_set(&n, DEFAULT_NORMAL);
    }
  }

  float bound = 0.0f, mean = 0.0f;
  for (std::int32_t i = 0; i < vertex_count; ++i) {
    const float length = vec_length(&v[i]);
    if (length > bound) bound = length;
  }
  for (std::int32_t i = vertex_count - 1; i >= 0; --i)
    mean = static_cast<float>(static_cast<double>(mean) +
                              static_cast<double>(vec_length(&v[i])) / vertex_count);
  object->bound_radius = bound;
  const double b = bound;
  object->cull_radius = static_cast<float>(b + b * static_cast<double>(0.33333334f));
  object->mean_radius = mean;
  std::free(counters);
  return ASE_OK;
}
