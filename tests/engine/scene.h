// Test scenes: an object list that frees what it holds, a camera that owns
// its buffers, and helpers that build small meshes.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "engine/engine.h"
#include "engine/model.h"
#include "engine/pass/render.h"

struct TestList {
  std::unique_ptr<ObjectList> owner = std::make_unique<ObjectList>();
  ObjectList* list = owner.get();
  TestList() { object_list_init(list); }
  ~TestList() { object_list_destroy(list); }
  Object* add(int vertex_count, int face_count) {
    Object* object = object_create(vertex_count, face_count);
    object->enabled = 1;
    object->visible = 1;
    list->objects[list->count++] = object;
    return object;
  }
};

struct TestCamera {
  Camera camera{};
  explicit TestCamera(float x = 0, float y = 0, float z = -500, float pitch = 0, float yaw = 0,
                      float roll = 0, float focal = 200) {
    camera_init(&camera, focal, x, y, z, pitch, yaw, roll, 1);
  }
  ~TestCamera() { camera_destroy(&camera); }
  Camera* operator->() { return &camera; }
  Camera* get() { return &camera; }
};

inline void set_face(Face* face, std::initializer_list<int> indices, int shading = SHADING_FLAT,
                     Vec3 normal = {0, 0, -1}, int two_sided = 0) {
  face->vertex_count = static_cast<int>(indices.size());
  int k = 0;
  for (int i : indices) face->indices[k++] = i;
  face->shading = shading;
  face->normal = normal;
  face->two_sided = two_sided;
  face->drawable = 1;
}
