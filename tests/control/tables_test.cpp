// The tables against their telling values and a plain recomputation of every
// formula from its definition alone. Stored floats must match exactly (the
// rounding after each addition and pass is part of the definition); integer
// entries may differ only where the quotient lies on an integer boundary.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "common/convert.h"
#include "test_archive.h"

namespace {

using Ref = std::vector<long double>;
constexpr int W = FRAME_WIDTH, H = FRAME_HEIGHT, N = FRAME_PIXELS;

// The C library's functions on doubles, angles in degrees at pi = 3.141592.
long double sin_d(long double deg) { return std::sin(static_cast<double>(deg * 3.141592L / 180)); }
long double cos_d(long double deg) { return std::cos(static_cast<double>(deg * 3.141592L / 180)); }

// Every entry equals the truncated reference (masked when asked), except
// entries within rounding distance of an integer boundary, which must be rare.
void expect_agrees(const std::int32_t* table, const Ref& ref, std::int32_t mask = -1) {
  int boundary = 0, wrong = 0;
  for (std::size_t i = 0; i < ref.size(); i++) {
    if (table[i] == (to_int32(ref[i]) & mask)) continue;
    const long double q = ref[i], scale = std::max(1.0L, fabsl(q));
    const bool near =
        fabsl(q - roundl(q)) <= 1e-9L * scale || fabsl(fabsl(q) - 2147483648.0L) <= 1e-9L * scale;
    (near ? boundary : wrong)++;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_LE(boundary, static_cast<int>(ref.size() / 1000));
}
void expect_same(const float* table, const Ref& ref) {
  for (std::size_t i = 0; i < ref.size(); i++) ASSERT_EQ(table[i], static_cast<float>(ref[i])) << i;
}
Ref per_pixel(long double (*f)(int x, int y)) {
  Ref r(N);
  for (int i = 0; i < N; i++) r[i] = f(i % W, i / W);
  return r;
}
std::pair<int, int> range(const std::int32_t* t, int n) {
  return {*std::min_element(t, t + n), *std::max_element(t, t + n)};
}

class Tables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test_tables_ready(); }
};

TEST_F(Tables, PathsAndWobble) {
  const std::int32_t* paths[4] = {path_a_x, path_a_y, path_b_x, path_b_y};
  const int at0[4] = {-5, 25, 0, 30}, at90[4] = {144, -54, 99, 30};
  const std::pair<int, int> ranges[4] = {{-38, 144}, {-54, 45}, {-12, 99}, {-42, 42}};
  Ref ref[4] = {Ref(360), Ref(360), Ref(360), Ref(360)}, wb(256);
  for (int i = 0; i < 360; i++) {
    ref[0][i] = static_cast<double>(90 * sin_d(i)) - 30 * cos_d(2 * i) + 25;
    ref[1][i] = 30 * sin_d(3 * i) + static_cast<double>(25 * cos_d(2 * i));
    ref[2][i] = static_cast<double>(50 * sin_d(i)) - 25 * cos_d(2 * i) + 25;
    ref[3][i] = 30 * sin_d(i) + static_cast<double>(30 * cos_d(i));
  }
  for (int p = 0; p < 4; p++) {
    EXPECT_EQ(paths[p][0], at0[p]);
    EXPECT_EQ(paths[p][90], at90[p]);
    EXPECT_EQ(range(paths[p], 360), ranges[p]);
    expect_agrees(paths[p], ref[p]);
  }
  for (int i = 0; i < 256; i++) wb[i] = 25 * sinl(i * 0.0245436875L);
  expect_agrees(wobble, wb);
  EXPECT_EQ(range(wobble, 256), std::make_pair(-24, 24));
  EXPECT_EQ(logo_row_offsets[2] + logo_col_offsets[2], 962);
}

// The perspective maps of a depth per pixel: v = 150y / 150D, u = 150(x - 160) / 150D.
void expect_maps(const std::int32_t* v, const std::int32_t* u, const Ref& depth) {
  Ref rv(N), ru(N);
  for (int i = 0; i < N; i++)
    rv[i] = 150.0L * (i / W) / (150 * depth[i]), ru[i] = 150.0L * (i % W - 160) / (150 * depth[i]);
  expect_agrees(v, rv);
  expect_agrees(u, ru);
}

// A warp curve: entry = 2 sin beta; beta and alpha are floats, rounded after
// every addition.
Ref warp(int count, float beta, long double beta_step, long double alpha_step) {
  Ref r(count);
  for (float alpha = 90; Ref::value_type & entry : r) {
    entry = static_cast<float>(2 * sin_d(beta));
    beta = static_cast<float>(beta + beta_step * sin_d(alpha));
    alpha = static_cast<float>(alpha + alpha_step);
  }
  return r;
}

TEST_F(Tables, WarpedPlane) {
  const Ref cw = warp(W, 130, 0.28125L, 0.5625L), rw = warp(H, 112.5f, 0.375L, 0.75L);
  expect_same(column_warp, cw);
  expect_same(row_warp, rw);
  EXPECT_EQ(plane_u[0], -47);
  Ref s(N);
  for (int i = 0; i < N; i++) s[i] = rw[i / W] + cw[i % W];
  expect_maps(plane_v, plane_u, s);
}

TEST_F(Tables, DepthFieldsAndTheirMaps) {
  // Two passes over the field, each stored as float: the term of the column
  // angle c0 + 0.5625x, then (unless rows is false) that of the row angle
  // r0 + 0.75y.
  using Term = long double (*)(long double);
  auto two = [](Term term, long double c0, long double r0, bool rows) {
    Ref r(N);
    for (int i = 0; i < N; i++) r[i] = static_cast<float>(term(c0 + 0.5625L * (i % W)));
    for (int i = 0; i < N && rows; i++)
      r[i] = static_cast<float>(r[i] + term(r0 + 0.75L * (i / W)));
    return r;
  };
  const Term wave = [](long double deg) { return 2 * sin_d(deg); };
  const Term ripple = [](long double deg) { return fabsl(2 * sin_d(deg)); };
  const Term column = [](long double deg) { return 10 * sin_d(deg); };
  const Ref fields[] = {two(wave, 90, 90, true), two(ripple, 90, 90, true),
                        two(column, 0, 0, false), two(ripple, 180, 180, true)};
  const float* depths[] = {depth_a, depth_b, depth_c, depth_d};
  const std::int32_t* maps[4][2] = {
      {map_v_a, map_u_a}, {map_v_b, map_u_b}, {map_v_c, map_u_c}, {map_v_d, map_u_d}};
  for (int f = 0; f < 4; f++) {
    expect_same(depths[f], fields[f]);
    expect_maps(maps[f][0], maps[f][1], fields[f]);
  }
  for (int y = 0; y < H; y++)
    EXPECT_TRUE(map_v_c[y * W] == INT_MIN && map_u_c[y * W] == INT_MIN) << y;
}

TEST_F(Tables, FloorRiseAndFloorAndCeiling) {
  Ref fv(120), fu(120 * W), rise(120), ue(N);
  float d = 0.5f, e = 12;
  for (int k = 0; k < 120; k++, d = static_cast<float>(d + 0.1L)) {
    fv[k] = 150.0L * (k + 120) / (150.0L * d);
    for (int x = 0; x < W; x++) fu[k * W + x] = 150.0L * (x - 160) / (150.0L * d);
    rise[k] = tanl(30 * 3.141592L / 180) * (k + 1);
  }
  for (int y = 0; y < H; y++, e = static_cast<float>(y <= 120 ? e - 0.1L : e + 0.1L))
    for (int x = 0; x < W; x++) ue[y * W + x] = 150.0L * (x - 160) / (150.0L * e);
  EXPECT_EQ(
      (std::vector<int>{floor_v[0], floor_v[119], floor_rise[0], floor_rise[59], floor_rise[119]}),
      (std::vector<int>{240, 19, 0, 34, 69}));
  expect_agrees(floor_v, fv);
  expect_agrees(floor_u, fu);
  expect_agrees(floor_rise, rise);
  expect_agrees(map_u_e, ue);
  EXPECT_TRUE(map_u_e[119 * W] < 0 && map_u_e[120 * W] > 1000000);  // the sign flips at the middle
}

TEST_F(Tables, PolarMapsAndBumpMaps) {
  expect_agrees(polar_angle, per_pixel([](int x, int y) {
                  return atan2l(y - 120, x - 160) * 180 / 3.141592L * 256 / 360;
                }),
                255);
  expect_agrees(polar_depth, per_pixel([](int x, int y) {
                  return 3000.0L /
                         (to_int32(sqrtl((x - 160) * (x - 160) + (y - 120) * (y - 120))) & 255);
                }));
  const int c = 120 * W + 160;
  EXPECT_EQ(polar_depth[c], INT_MIN);
  EXPECT_EQ(polar_angle[c], 0);
  for (int n : {c - 1, c + 1, c - W, c + W}) EXPECT_EQ(polar_depth[n], 3000);

  auto b = [](int x, int y) { return static_cast<int>(test_relief_word(x, y) & 0xFF); };
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const bool border = x == 0 || y == 0 || x == W - 1 || y == H - 1;
      ASSERT_EQ(bump_dx[y * W + x], border ? 0 : b(x - 1, y) - b(x + 1, y)) << x << "," << y;
      ASSERT_EQ(bump_dy[y * W + x], border ? 0 : b(x, y - 1) - b(x, y + 1)) << x << "," << y;
    }
}

}  // namespace
