// Mesh objects, the object list and its shade ramps.
#include <cstdlib>

#include "engine/angle_case.h"
#include "engine/model.h"
#include "engine/rotation.h"

Object* object_create(std::int32_t vertex_count, std::int32_t face_count) {
  if (vertex_count < 0 || vertex_count > MAX_VERTICES || face_count < 0 || face_count > MAX_FACES)
    return nullptr;
  auto* object = static_cast<Object*>(std::calloc(1, sizeof(Object)));
  if (!object) return nullptr;
  object->vertex_count = vertex_count;
  object->face_count = face_count;
  // One element at least, so an empty mesh still has valid (unused) blocks.
  const std::size_t v = vertex_count > 0 ? static_cast<std::size_t>(vertex_count) : 1;
  const std::size_t f = face_count > 0 ? static_cast<std::size_t>(face_count) : 1;
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
  const auto c = static_cast<std::uint32_t>(colour);
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
  angle_case_dispatch(angle_case(ax, ay, az), [&](auto c) {
    constexpr unsigned C = decltype(c)::value;
    if constexpr (C != 0) {
      const Rotation r = rotation_make<C>(ax, ay, az);
      rotation_apply<C>(r, object->vertices, object->vertex_count);
      for (std::int32_t i = 0; i < object->face_count; ++i)
        rotation_apply<C>(r, &object->faces[i].normal, 1);
      if (object->smooth) rotation_apply<C>(r, object->vertex_normals, object->vertex_count);
    }
  });
}
