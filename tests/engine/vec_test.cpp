#include "engine/vec.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
void expect_near3(const Vec4& v, float x, float y, float z, float eps = 1e-6f) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

TEST(VecRotate, ZeroAnglesLeaveTheVectorBitForBit) {
  Vec4 v = {-0.0f, 1e-30f, 123.456f, 7.0f}, before = v;
  vec_rotate(&v, 0, 0, 0);
  EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0);
}

TEST(VecRotate, QuarterTurnsAboutEachAxis) {
  Vec4 v = {0, 1, 0, 1};
  vec_rotate(&v, 90, 0, 0);
  expect_near3(v, 0, 0, 1);
  v = {0, 0, 1, 1};
  vec_rotate(&v, 0, 90, 0);
  expect_near3(v, 1, 0, 0);
  v = {1, 0, 0, 1};
  vec_rotate(&v, 0, 0, 90);
  expect_near3(v, 0, 1, 0);
  EXPECT_EQ(v.w, 1.0f);
}

// The specialised forms must agree with the general one: compare each
// two-angle form with the same rotation done one axis at a time.
TEST(VecRotate, EveryFormEqualsTheAxesInTurn) {
  const float angles[3] = {30, 40, 50};
  for (int form = 1; form < 8; ++form) {
    float a[3];
    for (int k = 0; k < 3; ++k) a[k] = (form >> k) & 1 ? angles[k] : 0.0f;
    Vec4 at_once = {3, -2, 5, 1}, in_turn = at_once;
    vec_rotate(&at_once, a[0], a[1], a[2]);
    vec_rotate(&in_turn, a[0], 0, 0);
    vec_rotate(&in_turn, 0, a[1], 0);
    vec_rotate(&in_turn, 0, 0, a[2]);
    SCOPED_TRACE(form);
    expect_near3(at_once, in_turn.x, in_turn.y, in_turn.z, 1e-5f);
    EXPECT_NEAR(vec_length(&at_once), vec_length(&in_turn), 1e-5f);
  }
}

TEST(VecKit, DeltaCrossDotLength) {
  Vec4 a = {1, 2, 3, 1}, b = {4, 6, 3, 1}, out;
  vec_delta(&a, &b, &out);  // second minus first
  expect_near3(out, 3, 4, 0, 0);
  EXPECT_EQ(vec_length(&out), 5.0f);
  vec_delta(&a, &a, &out);
  expect_near3(out, 0, 0, 0, 0);
  vec_cross(&a, &a, &out);
  expect_near3(out, 0, 0, 0, 0);
  Vec4 x = {1, 0, 0, 1}, y = {0, 1, 0, 1};
  vec_cross(&x, &y, &out);
  expect_near3(out, 0, 0, 1, 0);
  EXPECT_EQ(vec_dot(&a, &b), 4.0f + 12.0f + 9.0f);
}

TEST(MatKit, TranslationAppliesToPointsNotDirections) {
  Mat4 m;
  mat_identity(&m);
  m.m[3][0] = 10;
  m.m[3][1] = 20;
  m.m[3][2] = 30;
  Vec4 point = {1, 2, 3, 1}, direction = {1, 2, 3, 0}, out;
  vec_mul_mat(&point, &m, &out);
  expect_near3(out, 11, 22, 33, 0);
  EXPECT_EQ(out.w, 1.0f);
  vec_mul_mat(&direction, &m, &out);
  expect_near3(out, 1, 2, 3, 0);
  EXPECT_EQ(out.w, 0.0f);
}

TEST(MatKit, MultiplyIsRowByColumn) {
  Mat4 a, b, out, copy;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      a.m[i][j] = static_cast<float>(i * 4 + j);
      b.m[i][j] = (i == j ? 2.0f : 0.0f) + (i == 0 && j == 3 ? 1.0f : 0.0f);
    }
  mat_mul(&a, &b, &out);
  // b doubles every column and adds column 0 into column 3.
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(out.m[i][0], 2 * a.m[i][0]);
    EXPECT_EQ(out.m[i][3], 2 * a.m[i][3] + a.m[i][0]);
  }
  mat_copy(&out, &copy);
  EXPECT_EQ(std::memcmp(&out, &copy, sizeof out), 0);
}
}  // namespace
