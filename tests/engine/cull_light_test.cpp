// The object cull and the light stage.
#include <gtest/gtest.h>

#include "scene.h"

namespace {

constexpr float HALF_PI = 1.5707963705062866f;

struct Sphere {
  float x, y, z, radius;
  int kept;
};

void expect_cull(const Camera* camera, std::initializer_list<Sphere> spheres) {
  TestList scene;
  for (const Sphere& s : spheres) {
    Object* object = scene.add(0, 0);
    object->position = {s.x, s.y, s.z, 1};
    object->cull_radius = s.radius;
  }
  cull_objects(scene.list, camera);
  int i = 0;
  for (const Sphere& s : spheres) {
    EXPECT_EQ(scene.list->objects[i]->visible, s.kept)
        << "sphere at (" << s.x << ", " << s.y << ", " << s.z << ") radius " << s.radius;
    ++i;
  }
}

TEST(Cull, DepthRangeAndSidePlanesOfTheDemoCamera) {
  TestCamera camera;  // view depth Z = z + 500; at Z = 1000: L -800, Rt 795, B -600, T 595
  build_view_matrix(camera.get());
  expect_cull(camera.get(), {
                                {0, 0, 2000, 300, 1},    // Z = 2500
                                {0, 0, 3600, 50, 0},     // Z - R = 4050
                                {0, 0, 2550, 50, 1},     // Z - R = 3000
                                {0, 0, 2551, 50, 0},     // Z - R = 3001
                                {0, 0, -360, 50, 0},     // Z + R = 190
                                {0, 0, -360, 60, 1},     // Z + R = 200
                                {2000, 0, 500, 100, 0},  // X - R = 1900 > 795
                                {895, 0, 500, 100, 1},   // X - R = 795
                                {896, 0, 500, 100, 0},
                                {-900, 0, 500, 100, 1},  // X + R = -800
                                {-901, 0, 500, 100, 0},
                                {0, 695, 500, 100, 1},  // Y - R = 595
                                {0, 696, 500, 100, 0},
                                {0, -700, 500, 100, 1},  // Y + R = -600
                                {0, -701, 500, 100, 0},
                                {0, 0, 2000, 0.9f, 1},  // radius truncates to 0
                            });
}

TEST(Cull, UsesTheCamerasTurnAndNeverRevivesAnObject) {
  TestCamera yawed(0, 0, 0, 0, HALF_PI, 0);  // looks along world +x
  build_view_matrix(yawed.get());
  expect_cull(yawed.get(), {{2000, 0, 0, 10, 1}, {0, 0, 2000, 10, 0}, {-2000, 0, 0, 10, 0}});

  TestList scene;
  Object* object = scene.add(0, 0);
  object->position = {2000, 0, 0, 1};
  object->visible = 0;
  cull_objects(scene.list, yawed.get());
  EXPECT_EQ(object->visible, 0);
}

struct Lit {
  int drawable, intensity;
};

// One triangle at the origin seen from `eye`.
Lit light_one(Vec3 normal, Vec3 eye, int shading = SHADING_FLAT, int two_sided = 0) {
  TestCamera camera(eye.x, eye.y, eye.z);
  TestList scene;
  Object* object = scene.add(3, 1);
  object->vertices[1] = {1, 0, 0, 1};
  object->vertices[2] = {0, 1, 0, 1};
  set_face(&object->faces[0], {0, 1, 2}, shading, normal, two_sided);
  object->faces[0].intensity = 77;
  place_vertices(scene.list);
  shade_faces(scene.list, camera.get());
  return {object->faces[0].drawable, object->faces[0].intensity};
}

void expect_lit(Lit got, int drawable, int intensity) {
  EXPECT_EQ(got.drawable, drawable);
  EXPECT_EQ(got.intensity, intensity);
}

TEST(Light, FlatLevelsAndTheBackFaceTest) {
  const Vec3 front = {0, 0, -500}, back = {0, 0, 500};
  expect_lit(light_one({0, 0, -1}, front), 1, 255);         // 255 + 20, clamped
  expect_lit(light_one({0, 0, 1}, back), 1, 20);            // facing away from the light
  expect_lit(light_one({0, -0.6f, -0.8f}, front), 1, 224);  // trunc(204 + 20)
  expect_lit(light_one({0, 0, 1}, front), 0, 77);           // back face: nothing else written
  expect_lit(light_one({1, 0, 0}, front), 0, 77);           // edge-on
  expect_lit(light_one({0, 0, -1}, front, 2), 1, 255);      // unlit
  // Two-sided faces: lit from behind with the normal reversed.
  expect_lit(light_one({0, 0, 1}, front, SHADING_FLAT, 1), 1, 255);
  expect_lit(light_one({0, -0.6f, 0.8f}, front, SHADING_FLAT, 1), 1, 224);
  expect_lit(light_one({1, 0, 0}, front, SHADING_FLAT, 1), 0, 77);  // edge-on
  expect_lit(light_one({1, 0, 0}, front, 0, 1), 1, 255);            // shading 0: always drawn
  expect_lit(light_one({0, 0, 1}, front, 0, 1), 1, 255);
}

// Vertex normals giving the levels 255, 224 and 20 from the front.
void set_normals(Object* object) {
  object->smooth = 1;
  object->vertex_normals[0] = {0, 0, -1, 1};
  object->vertex_normals[1] = {0, -0.6f, -0.8f, 1};
  object->vertex_normals[2] = {0, 0, 1, 1};
  object->vertex_normals[3] = {0.6f, 0, -0.8f, 1};
}

TEST(Light, SmoothLevelsAreSharedOnlyBetweenOneSidedFacesOfOneObject) {
  TestCamera camera;
  TestList scene;
  Object* first = scene.add(4, 3);
  Object* second = scene.add(4, 1);  // lit first: the stage runs last to first
  set_normals(first);
  set_normals(second);
  second->vertex_normals[0] = {0, 0, 1, 1};
  second->vertex_normals[1] = {0, 0, -1, 1};
  second->vertex_normals[3] = {0, 0, 1, 1};  // no level of it may reach the first
  // Faces 2 and 1 are lit before face 0: a two-sided face seen from behind
  // and one facing the camera, both sharing vertices with face 0.
  set_face(&first->faces[0], {0, 1, 2}, SHADING_SMOOTH);
  set_face(&first->faces[1], {3, 1, 0}, SHADING_SMOOTH);
  set_face(&first->faces[2], {2, 1, 3}, SHADING_SMOOTH, {0, 0, 1}, 1);
  set_face(&second->faces[0], {0, 1, 3}, SHADING_SMOOTH);
  place_vertices(scene.list);
  shade_faces(scene.list, camera.get());

  const Face* f = first->faces;
  EXPECT_EQ(f[2].drawable, 1);
  EXPECT_EQ(f[2].vertex_intensity[0], 255);  // normal (0, 0, 1) reversed
  EXPECT_EQ(f[2].vertex_intensity[1], 20);
  EXPECT_EQ(f[2].vertex_intensity[2], 20);
  EXPECT_EQ(f[1].vertex_intensity[0], 224);  // 20 + trunc(255 * 0.8)
  EXPECT_EQ(f[1].vertex_intensity[1], 224);
  EXPECT_EQ(f[1].vertex_intensity[2], 255);
  EXPECT_EQ(f[0].vertex_intensity[0], 255);
  EXPECT_EQ(f[0].vertex_intensity[1], 224);
  EXPECT_EQ(f[0].vertex_intensity[2], 20);
  EXPECT_EQ(second->faces[0].vertex_intensity[0], 20);
  EXPECT_EQ(second->faces[0].vertex_intensity[1], 255);
}

TEST(Light, SmoothFaceOfAnObjectNotMarkedSmoothIgnoresTheCache) {
  TestCamera camera;
  TestList scene;
  Object* unmarked = scene.add(4, 1);
  Object* marked = scene.add(4, 1);  // fills the cache first
  set_normals(marked);
  set_normals(unmarked);
  unmarked->smooth = 0;
  unmarked->vertex_normals[0] = {0, 0, 1, 1};
  set_face(&marked->faces[0], {0, 1, 2}, SHADING_SMOOTH);
  set_face(&unmarked->faces[0], {0, 1, 2}, SHADING_SMOOTH);
  place_vertices(scene.list);
  shade_faces(scene.list, camera.get());
  EXPECT_EQ(marked->faces[0].vertex_intensity[0], 255);
  EXPECT_EQ(unmarked->faces[0].vertex_intensity[0], 20);
}

}  // namespace
