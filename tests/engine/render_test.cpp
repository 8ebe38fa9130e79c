// The whole render pass: the camera cache, the z-buffer, the per-frame flags
// and what the face drawer is handed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "scene.h"

namespace {

constexpr int PIXELS = 320 * 240;

// A triangle 1000 units in front of the demo camera, facing it.
Object* add_triangle(TestList& scene, Vec3 normal = {0, 0, -1}) {
  Object* object = scene.add(3, 1);
  object->vertices[0] = {-50, -50, 0, 1};
  object->vertices[1] = {50, -50, 0, 1};
  object->vertices[2] = {0, 50, 0, 1};
  object->position = {0, 0, 500, 1};
  object->cull_radius = 100;
  set_face(&object->faces[0], {0, 1, 2}, SHADING_FLAT, normal);
  return object;
}

// A triangle close to the demo camera, on a cleared target, drawn in white.
struct DrawnTriangle {
  TestList scene;
  DrawnTriangle() {
    add_triangle(scene)->position.z = 0;
    object_list_ramp(scene.list, 0xFFFFFF);
  }
  std::vector<std::uint32_t> render(Camera* camera) {
    std::fill_n(camera->target, PIXELS, 0u);
    render_scene(scene.list, camera);
    return {camera->target, camera->target + PIXELS};
  }
};

// The drawer works with what was cached for the camera: a focal changed after
// the camera's first pass draws nothing different until another camera has
// been rendered, and each pass draws into its own camera's buffers.
TEST(Render, CameraParametersAreCopiedOnlyForANewCamera) {
  TestCamera first, second(0, 0, -500, 0, 0, 0, 100), at_50(0, 0, -500, 0, 0, 0, 50);
  DrawnTriangle t;
  const std::vector<std::uint32_t> focal_50 = t.render(at_50.get());
  const std::vector<std::uint32_t> focal_100 = t.render(second.get());
  const std::vector<std::uint32_t> focal_200 = t.render(first.get());
  EXPECT_EQ(render_state.last_camera_id, first->id);
  ASSERT_NE(focal_200, focal_100);
  ASSERT_NE(focal_100, focal_50);

  first->focal = 50;
  first->slope_right = 159.0f / 50;
  EXPECT_EQ(t.render(first.get()), focal_200);
  EXPECT_EQ(render_state.slope_right, 0.795f);
  EXPECT_EQ(t.render(second.get()), focal_100);
  EXPECT_TRUE(std::equal(focal_200.begin(), focal_200.end(), first->target));
  EXPECT_EQ(t.render(first.get()), focal_50);
  EXPECT_EQ(render_state.slope_right, 159.0f / 50);
}

TEST(Render, ClearsTheZBufferAndLeavesTheTargetAlone) {
  TestCamera camera;
  TestList scene;
  std::fill_n(camera->zbuffer, PIXELS, 5);
  std::fill_n(camera->target, PIXELS, 0x123456u);
  render_scene(scene.list, camera.get());
  EXPECT_TRUE(std::all_of(camera->zbuffer, camera->zbuffer + PIXELS,
                          [](std::int32_t z) { return z == ZBUFFER_EMPTY; }));
  EXPECT_TRUE(std::all_of(camera->target, camera->target + PIXELS,
                          [](std::uint32_t p) { return p == 0x123456u; }));

  // Faces that all turn away draw nothing either.
  add_triangle(scene, {0, 0, 1});
  std::fill_n(camera->zbuffer, PIXELS, 5);
  render_scene(scene.list, camera.get());
  EXPECT_EQ(scene.list->objects[0]->faces[0].drawable, 0);
  EXPECT_TRUE(std::all_of(camera->zbuffer, camera->zbuffer + PIXELS,
                          [](std::int32_t z) { return z == ZBUFFER_EMPTY; }));
  EXPECT_TRUE(std::all_of(camera->target, camera->target + PIXELS,
                          [](std::uint32_t p) { return p == 0x123456u; }));
}

TEST(Render, FlagsAreResetEveryFrameExceptForDisabledObjects) {
  TestCamera camera;
  TestList scene;
  Object* object = add_triangle(scene, {0, 0, 1});
  render_scene(scene.list, camera.get());
  EXPECT_EQ(object->faces[0].drawable, 0);  // back face

  object->faces[0].normal = {0, 0, -1};
  render_scene(scene.list, camera.get());
  EXPECT_EQ(object->visible, 1);
  EXPECT_EQ(object->faces[0].drawable, 1);  // considered again
  EXPECT_EQ(object->faces[0].intensity, 255);

  object->enabled = 0;
  object->faces[0].drawable = 5;
  object->faces[0].near_clipped = 9;
  object->world_vertices[0].x = 1234;
  render_scene(scene.list, camera.get());
  EXPECT_EQ(object->visible, 0);
  EXPECT_EQ(object->faces[0].drawable, 5);
  EXPECT_EQ(object->faces[0].near_clipped, 9);
  EXPECT_EQ(object->world_vertices[0].x, 1234);

  object->enabled = 1;
  render_scene(scene.list, camera.get());
  EXPECT_EQ(object->visible, 1);
  EXPECT_EQ(object->faces[0].drawable, 1);
  EXPECT_EQ(object->faces[0].near_clipped, 0);
  EXPECT_EQ(object->world_vertices[0].x, -50);
}

TEST(Render, CulledObjectsAreNeitherPlacedNorTransformed) {
  TestCamera camera;
  TestList scene;
  Object* object = add_triangle(scene);
  object->position = {0, 0, 4000, 1};
  object->world_vertices[0] = {1, 2, 3, 1};
  object->view_vertices[0] = {4, 5, 6, 1};
  render_scene(scene.list, camera.get());
  EXPECT_EQ(object->visible, 0);
  EXPECT_EQ(object->world_vertices[0].z, 3);
  EXPECT_EQ(object->view_vertices[0].z, 6);
}

// Where the face drawer puts a polygon vertex.
bool projects_on_screen(const Vec4& v, bool near_clipped, float focal) {
  const float s = near_clipped ? focal / v.z : focal / static_cast<float>(static_cast<int>(v.z));
  const int column = static_cast<int>(s * v.x) + 160, row = 119 - static_cast<int>(s * v.y);
  return column >= 0 && column < 320 && row >= 0 && row < 240;
}

// Random cameras and meshes around them: whatever reaches the drawer lies at
// depth 200 or more, clip polygons have 3 to 5 points, levels index a ramp,
// and a face without the edge mark projects wholly onto the screen.
TEST(Render, EveryFaceHandedToTheDrawerIsWithinItsLimits) {
  std::mt19937 rng(99);
  std::uniform_real_distribution<float> unit(-1, 1), angle(-3.2f, 3.2f);
  int clipped = 0, marked = 0, whole = 0;
  for (int round = 0; round < 60; ++round) {
    const unsigned c = round % 8;
    TestCamera camera(1000 * unit(rng), 1000 * unit(rng), 1000 * unit(rng), c & 1 ? angle(rng) : 0,
                      c & 2 ? angle(rng) : 0, c & 4 ? angle(rng) : 0,
                      100 + 100 * std::abs(unit(rng)));
    TestList scene;
    for (int n = 0; n < 12; ++n) {
      const int vertex_count = 8 + round % 40, face_count = 30;
      Object* object = scene.add(vertex_count, face_count);
      object->smooth = 1;
      object->position = {camera->position.x + 1500 * unit(rng),
                          camera->position.y + 1500 * unit(rng),
                          camera->position.z + 1500 * unit(rng), 1};
      for (int k = 0; k < vertex_count; ++k) {
        object->vertices[k] = {400 * unit(rng), 400 * unit(rng), 400 * unit(rng), 1};
        const float nx = unit(rng), ny = unit(rng), nz = unit(rng);
        const float len = std::sqrt(nx * nx + ny * ny + nz * nz) + 1e-6f;
        object->vertex_normals[k] = {nx / len, ny / len, nz / len, 1};
      }
      object->cull_radius = 400 * 1.7320508f * 4 / 3;
      for (int f = 0; f < face_count; ++f) {
        Face* face = &object->faces[f];
        const int a = rng() % vertex_count, b = rng() % vertex_count, d = rng() % vertex_count,
                  e = rng() % vertex_count;
        const int shading = (f % 3 == 0) ? SHADING_SMOOTH : (f % 3 == 1) ? SHADING_FLAT : 0;
        if (f % 2)
          set_face(face, {a, b, d}, shading, {unit(rng), unit(rng), unit(rng)}, f % 5 == 0);
        else
          set_face(face, {a, b, d, e}, shading, {unit(rng), unit(rng), unit(rng)}, f % 5 == 0);
      }
    }
    render_scene(scene.list, camera.get());

    for (int i = 0; i < scene.list->count; ++i) {
      const Object* object = scene.list->objects[i];
      if (!object->visible) continue;
      for (int f = 0; f < object->face_count; ++f) {
        const Face& face = object->faces[f];
        if (!face.drawable) continue;
        const bool near_clipped = face.near_clipped != 0;
        const int n = near_clipped ? face.clip_count : face.vertex_count;
        ASSERT_GE(n, 3);
        ASSERT_LE(n, near_clipped ? 5 : 4);
        ASSERT_GE(face.intensity, 0);
        ASSERT_LE(face.intensity, 255);
        for (int k = 0; k < n; ++k) {
          const Vec4& v =
              near_clipped ? face.clip_vertices[k] : object->view_vertices[face.indices[k]];
          ASSERT_GE(v.z, 200.0f) << "round " << round;
          if (face.shading == SHADING_SMOOTH) {
            const int level = near_clipped ? face.clip_intensity[k] : face.vertex_intensity[k];
            ASSERT_GE(level, AMBIENT_LEVEL);
            ASSERT_LE(level, 255);
          }
          if (!face.edge_clip) {
            ASSERT_TRUE(projects_on_screen(v, near_clipped, camera->focal))
                << "round " << round << " (" << v.x << ", " << v.y << ", " << v.z << ")";
          }
        }
        clipped += near_clipped;
        marked += face.edge_clip;
        whole += !face.edge_clip;
      }
    }
  }
  // The scenes reach every kind of face.
  EXPECT_GT(clipped, 100);
  EXPECT_GT(marked, 100);
  EXPECT_GT(whole, 100);
}

}  // namespace
