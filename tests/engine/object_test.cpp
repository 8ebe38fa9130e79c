#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/model.h"
#include "engine/vec.h"

namespace {
struct ObjectHolder {
  Object* o;
  ObjectHolder(int v, int f) : o(object_create(v, f)) {}
  ~ObjectHolder() { object_free(o); }
};

TEST(ObjectRotate, TurnsVerticesAndFaceNormalsAndVertexNormalsOnlyWhenSmooth) {
  ObjectHolder h(2, 1);
  Object* o = h.o;
  o->vertices[0] = {1, 0, 0, 1};
  o->vertices[1] = {0, 2, 0, 1};
  o->vertex_normals[0] = {1, 0, 0, 1};
  o->faces[0].normal = {1, 0, 0};
  o->position = {5, 6, 7, 1};
  o->bound_radius = 2;
  o->smooth = 0;
  object_rotate(o, 0, 0, 90);
  EXPECT_NEAR(o->vertices[0].y, 1, 1e-6);
  EXPECT_NEAR(o->vertices[1].x, -2, 1e-6);
  EXPECT_NEAR(o->faces[0].normal.y, 1, 1e-6);
  EXPECT_EQ(o->vertex_normals[0].x, 1.0f);  // not smooth: left alone
  EXPECT_EQ(o->position.x, 5.0f);
  EXPECT_EQ(o->bound_radius, 2.0f);
  o->smooth = 1;
  object_rotate(o, 0, 0, 90);
  EXPECT_NEAR(o->vertex_normals[0].y, 1, 1e-6);
  EXPECT_EQ(o->vertex_normals[0].w, 1.0f);

  Object before = *o;
  Vec4 v0 = o->vertices[0];
  object_rotate(o, 0, 0, 0);
  EXPECT_EQ(std::memcmp(&v0, &o->vertices[0], sizeof v0), 0);
  EXPECT_EQ(before.faces, o->faces);
}

// The mesh form must match vec_rotate in every form.
TEST(ObjectRotate, MatchesVecRotate) {
  ObjectHolder h(1, 0);
  for (int form = 0; form < 8; ++form) {
    volatile float x = 13.0f, y = -71.0f, z = 200.0f;  // no folding at compile time
    float a[3] = {(form & 1) ? x : 0.0f, (form & 2) ? y : 0.0f, (form & 4) ? z : 0.0f};
    Vec4 v = {0.3f, -4.0f, 9.5f, 1};
    h.o->vertices[0] = v;
    vec_rotate(&v, a[0], a[1], a[2]);
    object_rotate(h.o, a[0], a[1], a[2]);
    EXPECT_EQ(v.x, h.o->vertices[0].x) << form;
    EXPECT_EQ(v.y, h.o->vertices[0].y) << form;
    EXPECT_EQ(v.z, h.o->vertices[0].z) << form;
  }
}

TEST(ShadeRamps, ShadesRiseFromBlackToJustBelowTheColour) {
  ShadeRamp ramp;
  ramp_build(&ramp, 0x00FF8040);
  EXPECT_EQ(ramp.colour, 0x00FF8040);
  EXPECT_EQ(ramp.shades[0], 0u);
  EXPECT_EQ(ramp.shades[128], 0x7F4020u);
  EXPECT_EQ(ramp.shades[255], 0xFE7F3Fu);
  // Stray high bits never leak into the shades.
  ramp_build(&ramp, static_cast<std::int32_t>(0xFF00FF00u));
  EXPECT_EQ(ramp.shades[255], 0x00FE00u);
}

TEST(ObjectList, RampsSharedByColourAndTakenBack) {
  ObjectList list;
  object_list_init(&list);
  EXPECT_EQ(object_list_ramp(&list, 0x112233), 0);
  EXPECT_EQ(object_list_ramp(&list, 0x445566), 1);
  EXPECT_EQ(object_list_ramp(&list, 0x112233), 0);
  EXPECT_EQ(list.ramp_count, 2);
  for (int i = 2; i < MAX_RAMPS; ++i) EXPECT_EQ(object_list_ramp(&list, i), i);
  EXPECT_EQ(object_list_ramp(&list, 0x777777), RAMP_TABLE_FULL);
  EXPECT_EQ(list.ramp_count, MAX_RAMPS);
  object_list_drop_ramps(&list, 2);
  EXPECT_EQ(list.ramp_count, 2);
  list.objects[0] = object_create(MAX_VERTICES, MAX_FACES);
  list.objects[1] = object_create(0, 0);
  ASSERT_NE(list.objects[0], nullptr);
  EXPECT_EQ(list.objects[0]->vertex_normals[MAX_VERTICES - 1].w, 1.0f);
  EXPECT_EQ(object_create(MAX_VERTICES + 1, 0), nullptr);
  EXPECT_EQ(object_create(0, -1), nullptr);
  list.count = 2;
  object_list_destroy(&list);  // the sanitizers check nothing leaks
}
}  // namespace

// Every coefficient is rounded to float before it is applied; an optimiser
// that keeps the double products gives other low bits (seen with GCC 12 -O3).
TEST(ObjectRotate, AppliesCoefficientsRoundedToFloat) {
  volatile float ax = 30.5f, ay = 41.0f, az = -52.25f;
  const double rad = DEG_TO_RAD, a = ax * rad, b = ay * rad, g = az * rad;
  const double sa = std::sin(a), ca = std::cos(a), sb = std::sin(b), cb = std::cos(b);
  const double sc = std::sin(g), cc = std::cos(g);
  const double d[3][3] = {{cb * cc, cc * sb * sa - ca * sc, sc * sa + cc * sb * ca},
                          {sc * cb, cc * ca + sc * sb * sa, sc * sb * ca - cc * sa},
                          {-sb, cb * sa, cb * ca}};
  volatile float c[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) c[i][j] = static_cast<float>(d[i][j]);
  for (int i = 0; i < 50; i++) {
    Vec4 v = {i * 1.7f - 40.0f, 13.0f - i * 0.3f, (i % 7) * 9.1f, 1};
    const double x = v.x, y = v.y, z = v.z;
    auto row = [&](int r) { return static_cast<float>(c[r][0] * x + c[r][1] * y + c[r][2] * z); };
    vec_rotate(&v, ax, ay, az);
    EXPECT_EQ(v.x, row(0)) << i;
    EXPECT_EQ(v.y, row(1)) << i;
    EXPECT_EQ(v.z, row(2)) << i;
  }
}
