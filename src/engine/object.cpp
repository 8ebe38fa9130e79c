// Mesh objects, the object list and its shade ramps.
#include <cstdlib>
#include <cstring>

#include "common/convert.h"
#include "engine/engine.h"
#include "engine/rotation.h"

Object* object_create(std::int32_t vertex_count, std::int32_t face_count) {
  if (vertex_count < 0 || vertex_count > MAX_VERTICES || face_count < 0 || face_count > MAX_FACES)
    return nullptr;
  auto* object = static_cast<Object*>(std::calloc(1, sizeof(Object)));
  if (!object) return nullptr;
  object->vertex_count = vertex_count;
  object->face_count = face_count;
  // One element at least, so an empty mesh still has valid (unused) blocks.
  std::size_t v = vertex_count > 0 ? std::size_t(vertex_count) : 1;
  std::size_t f = face_count > 0 ? std::size_t(face_count) : 1;
  object->vertices = static_cast<Vec4*>(std::calloc(v, sizeof(Vec4)));
  object->world_vertices = static_cast<Vec4*>(std::calloc(v, sizeof(Vec4)));
  object->view_vertices = static_cast<Vec4*>(std::calloc(v, sizeof(Vec4)));
  object->vertex_normals = static_cast<Vec4*>(std::calloc(v, sizeof(Vec4)));
  object->faces = static_cast<Face*>(std::calloc(f, sizeof(Face)));
  if (!object->vertices || !object->world_vertices || !object->view_vertices ||
      !object->vertex_normals || !object->faces) {
    object_free(object);
    return nullptr;
  }
  for (std::int32_t i = 0; i < vertex_count; ++i) {
    object->vertices[i].w = 1.0f;
    object->world_vertices[i].w = 1.0f;
    object->view_vertices[i].w = 1.0f;
    object->vertex_normals[i].w = 1.0f;
  }
  object->position.w = 1.0f;
  return object;
}

void object_free(Object* object) {
  if (!object) return;
  std::free(object->vertices);
  std::free(object->world_vertices);
  std::free(object->view_vertices);
  std::free(object->vertex_normals);
  std::free(object->faces);
  std::free(object);
}

void object_list_init(ObjectList* list) {
  list->count = 0;
  list->ramp_count = 0;
}

void object_list_destroy(ObjectList* list) {
  for (std::int32_t i = list->count - 1; i >= 0; --i) object_free(list->objects[i]);
  for (std::int32_t i = list->ramp_count - 1; i >= 0; --i) std::free(list->ramps[i]);
}

void ramp_build(ShadeRamp* ramp, std::int32_t colour) {
  // Only the colour bits count: stray high bits must not reach the shades.
  const std::uint32_t c = std::uint32_t(colour);
  const std::uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
  ramp->colour = colour;
  for (std::uint32_t j = 0; j < 256; ++j)
    ramp->shades[j] = ((j * r / 256) << 16) | ((j * g / 256) << 8) | (j * b / 256);
}

int object_list_ramp(ObjectList* list, std::int32_t colour) {
  for (std::int32_t i = list->ramp_count - 1; i >= 0; --i)
    if (list->ramps[i]->colour == colour) return i;
  if (list->ramp_count >= MAX_RAMPS) return RAMP_TABLE_FULL;
  auto* ramp = static_cast<ShadeRamp*>(std::malloc(sizeof(ShadeRamp)));
  if (!ramp) return RAMP_NO_MEMORY;
  ramp_build(ramp, colour);
  list->ramps[list->ramp_count] = ramp;
  return list->ramp_count++;
}

void object_list_drop_ramps(ObjectList* list, std::int32_t keep) {
  while (list->ramp_count > keep) std::free(list->ramps[--list->ramp_count]);
}

void object_set_position(Object* object, float x, float y, float z) {
  object->position.x = x;
  object->position.y = y;
  object->position.z = z;
}

void object_rotate(Object* object, float ax, float ay, float az) {
  rotation_dispatch(ax, ay, az, [&]<bool X, bool Y, bool Z>() {
    if constexpr (X || Y || Z) {
      const Rotation r = rotation_make<X, Y, Z>(ax, ay, az);
      rotation_apply<X, Y, Z>(r, object->vertices, object->vertex_count);
      for (std::int32_t i = 0; i < object->face_count; ++i)
        rotation_apply<X, Y, Z>(r, &object->faces[i].normal, 1);
      if (object->smooth) rotation_apply<X, Y, Z>(r, object->vertex_normals, object->vertex_count);
    }
  });
}

void object_scale(Object* object, float factor) {
  const double f = factor;
  for (std::int32_t i = 0; i < object->vertex_count; ++i) {
    Vec4& v = object->vertices[i];
    v.x = float(v.x * f);
    v.y = float(v.y * f);
    v.z = float(v.z * f);
  }
  object->mean_radius = float(object->mean_radius * f);
  object->bound_radius = float(object->bound_radius * f);
  object->cull_radius = float(object->cull_radius * f);
}

void object_center(Object* object) {
  const std::int32_t n = object->vertex_count;
  if (n <= 0) return;  // no vertices, no centroid
  Extended sx = 0.0, sy = 0.0, sz = 0.0;  // x87 extended sums, the same on every machine
  for (std::int32_t i = 0; i < n; ++i) {
    sx = sx + Extended(object->vertices[i].x);
    sy = sy + Extended(object->vertices[i].y);
    sz = sz + Extended(object->vertices[i].z);
  }
  const Extended count = n;
  const float cx = float(sx / count), cy = float(sy / count), cz = float(sz / count);
  object->position.x = float(double(object->position.x) + cx);
  object->position.y = float(double(object->position.y) + cy);
  object->position.z = float(double(object->position.z) + cz);
  for (std::int32_t i = 0; i < n; ++i) {
    Vec4& v = object->vertices[i];
    v.x = float(double(v.x) - cx);
    v.y = float(double(v.y) - cy);
    v.z = float(double(v.z) - cz);
  }
}

void ramp_gradient(std::uint32_t* table, int r0, int r1, int g0, int g1, int b0, int b1) {
  // Components are meant to lie in 0..255; others wrap as 32-bit words.
  auto step = [](int from, int to, int i) {
    return std::uint32_t(to_int32(double(from) + double(i) * (double(to) - double(from)) / 256.0));
  };
  for (int i = 0; i < 256; ++i)
    table[i] = (step(r0, r1, i) << 16) | (step(g0, g1, i) << 8) | step(b0, b1, i);
}
