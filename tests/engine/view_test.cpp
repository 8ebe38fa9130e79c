// The view matrix and the world-to-view transform.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "scene.h"

namespace {

constexpr float HALF_PI = 1.5707963705062866f;

TEST(View, DemoCameraPlacesAndProjectsPoints) {
  TestCamera camera;  // focal 200 at (0, 0, -500), no rotation
  TestList scene;
  Object* object = scene.add(2, 0);
  object->vertices[0] = {0, 0, 2000, 1};
  object->vertices[1] = {90, 30, -30, 1};
  object->position = {10, 20, 30, 1};
  build_view_matrix(camera.get());
  place_vertices(scene.list);
  transform_vertices(scene.list, camera.get());

  const Vec4* v = object->view_vertices;
  EXPECT_EQ(v[0].x, 10.0f);
  EXPECT_EQ(v[0].y, 20.0f);
  EXPECT_EQ(v[0].z, 2530.0f);
  EXPECT_EQ(v[1].x, 100.0f);
  EXPECT_EQ(v[1].y, 50.0f);
  EXPECT_EQ(v[1].z, 500.0f);
  EXPECT_EQ(160 + static_cast<int>(200 * v[1].x / v[1].z), 200);
  EXPECT_EQ(119 - static_cast<int>(200 * v[1].y / v[1].z), 99);
}

TEST(View, CameraAtOriginCopiesWorldVerticesExactly) {
  TestCamera camera(0, 0, 0);
  TestList scene;
  Object* object = scene.add(4, 0);
  object->vertices[0] = {-0.0f, 0.0f, 1e-40f, 1};
  object->vertices[1] = {3.4e38f, -3.4e38f, 1.0f / 3.0f, 1};
  object->vertices[2] = {123.456f, -7.25e-3f, 2999.999f, 1};
  object->vertices[3] = {1e-7f, 5e20f, -0.1f, 1};
  build_view_matrix(camera.get());
  place_vertices(scene.list);
  transform_vertices(scene.list, camera.get());
  for (int k = 0; k < 4; ++k) {
    const Vec4& w = object->world_vertices[k];
    const Vec4& v = object->view_vertices[k];
    EXPECT_EQ(std::memcmp(&v, &w, 3 * sizeof(float)), 0) << "vertex " << k;
  }
}

TEST(View, QuarterTurnsLookAlongTheExpectedWorldAxes) {
  TestList scene;
  Object* object = scene.add(1, 0);
  {
    TestCamera yawed(0, 0, 0, 0, HALF_PI, 0);
    object->vertices[0] = {1, 0, 0, 1};
    build_view_matrix(yawed.get());
    place_vertices(scene.list);
    transform_vertices(scene.list, yawed.get());
    EXPECT_NEAR(object->view_vertices[0].x, 0, 1e-6);
    EXPECT_NEAR(object->view_vertices[0].y, 0, 1e-6);
    EXPECT_NEAR(object->view_vertices[0].z, 1, 1e-6);
  }
  {
    TestCamera pitched(0, 0, 0, HALF_PI, 0, 0);  // positive pitch looks down
    object->vertices[0] = {0, -1, 0, 1};
    build_view_matrix(pitched.get());
    place_vertices(scene.list);
    transform_vertices(scene.list, pitched.get());
    EXPECT_NEAR(object->view_vertices[0].x, 0, 1e-6);
    EXPECT_NEAR(object->view_vertices[0].y, 0, 1e-6);
    EXPECT_NEAR(object->view_vertices[0].z, 1, 1e-6);
  }
}

TEST(View, HiddenObjectsKeepLastFramesVerticesAndNoWIsWritten) {
  TestCamera camera(5, 6, 7, 0.3f, 0.2f, 0.1f);
  TestList scene;
  Object* shown = scene.add(1, 0);
  Object* hidden = scene.add(1, 0);
  shown->view_vertices[0].w = 7;
  shown->world_vertices[0].w = 8;
  hidden->visible = 0;
  hidden->world_vertices[0] = {1, 2, 3, 4};
  hidden->view_vertices[0] = {5, 6, 7, 8};
  build_view_matrix(camera.get());
  place_vertices(scene.list);
  transform_vertices(scene.list, camera.get());
  EXPECT_EQ(shown->view_vertices[0].w, 7);
  EXPECT_EQ(shown->world_vertices[0].w, 8);
  EXPECT_EQ(hidden->world_vertices[0].x, 1);
  EXPECT_EQ(hidden->view_vertices[0].z, 7);
}

// A = Rz(-roll) Rx(-pitch) Ry(-yaw), composed from the axis rotations.
void composed_view(const Camera& c, double a[3][3]) {
  const double x = -c.pitch, y = -c.yaw, z = -c.roll;
  const double rx[3][3] = {{1, 0, 0}, {0, cos(x), -sin(x)}, {0, sin(x), cos(x)}};
  const double ry[3][3] = {{cos(y), 0, sin(y)}, {0, 1, 0}, {-sin(y), 0, cos(y)}};
  const double rz[3][3] = {{cos(z), -sin(z), 0}, {sin(z), cos(z), 0}, {0, 0, 1}};
  double t[3][3] = {};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) t[i][j] += rx[i][k] * ry[k][j];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      a[i][j] = 0;
      for (int k = 0; k < 3; ++k) a[i][j] += rz[i][k] * t[k][j];
    }
}

// The rotation entries as the written-out formulas give them, rounded to
// float. Out of line, as in the engine: inlined, GCC 12's SLP vectoriser sums
// the translation row below from the unrounded doubles.
[[gnu::noinline]] Mat4 formula_rotation(const Camera& c) {
  const double pitch = -c.pitch, yaw = -c.yaw, roll = -c.roll;
  const double sx = sin(pitch), cx = cos(pitch), sy = sin(yaw), cy = cos(yaw);
  const double sz = sin(roll), cz = cos(roll);
  const double r[3][3] = {{cy * cz - sz * sx * sy, cz * sx * sy + sz * cy, -cx * sy},
                          {-sz * cx, cz * cx, sx},
                          {sz * sx * cy + cz * sy, sz * sy - cz * sx * cy, cx * cy}};
  Mat4 m{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m.m[i][j] = static_cast<float>(r[i][j]);
  m.m[3][3] = 1;
  return m;
}

// The whole matrix: the translation row summed from the rounded entries.
Mat4 formula_view(const Camera& c) {
  Mat4 m = formula_rotation(c);
  const double p[3] = {-c.position.x, -c.position.y, -c.position.z};
  for (int j = 0; j < 3; ++j)
    m.m[3][j] = static_cast<float>(p[0] * m.m[0][j] + p[1] * m.m[1][j] + p[2] * m.m[2][j]);
  return m;
}

// Random cameras in all eight zero-angle cases: the matrix is exactly the
// formulas' (which are the composed rotations), and the specialised
// transform is exactly the full product.
TEST(View, EveryAngleCaseAgreesWithTheFullProduct) {
  std::mt19937 rng(1234);
  std::uniform_real_distribution<float> angle(-3.2f, 3.2f), coord(-4000, 4000);
  TestList scene;
  Object* object = scene.add(64, 0);
  for (int round = 0; round < 400; ++round) {
    const unsigned c = round % 8;
    TestCamera camera(coord(rng), coord(rng), coord(rng), c & 1 ? angle(rng) : 0,
                      c & 2 ? angle(rng) : 0, c & 4 ? angle(rng) : 0);
    build_view_matrix(camera.get());
    const Mat4& m = camera->view;
    const Mat4 want = formula_view(camera.camera);
    double a[3][3];
    composed_view(camera.camera, a);
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) {
        ASSERT_EQ(m.m[i][j], want.m[i][j]) << "case " << c << " m" << i << j;
        if (i < 3 && j < 3) {
          ASSERT_NEAR(m.m[i][j], a[j][i], 1e-6) << "case " << c;
        }
      }

    for (int k = 0; k < object->vertex_count; ++k)
      object->vertices[k] = {coord(rng), coord(rng), coord(rng), 1};
    object->position = {coord(rng), coord(rng), coord(rng), 1};
    place_vertices(scene.list);
    transform_vertices(scene.list, camera.get());
    for (int k = 0; k < object->vertex_count; ++k) {
      const Vec4& w = object->world_vertices[k];
      const Vec4& v = object->view_vertices[k];
      for (int j = 0; j < 3; ++j) {
        const double x = w.x, y = w.y, z = w.z;
        const double full = x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j] + m.m[3][j];
        ASSERT_EQ((&v.x)[j], static_cast<float>(full)) << "case " << c << " vertex " << k;
      }
    }
  }
}

}  // namespace
