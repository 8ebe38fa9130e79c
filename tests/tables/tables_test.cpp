// The tables against their telling values and against a plain long double
// recomputation of every formula (with the long double maths functions, so
// the two differ only in the last bits).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <vector>

#include "common/convert.h"
#include "test_archive.h"

namespace {

using Ref = std::vector<long double>;
constexpr int W = FRAME_WIDTH, H = FRAME_HEIGHT;

long double sin_d(long double deg) { return sinl(deg * 3.141592L / 180.0L); }
long double cos_d(long double deg) { return cosl(deg * 3.141592L / 180.0L); }

// An integer table agrees with reference values when every entry equals the
// truncated reference, except entries whose reference lies within rounding
// distance of an integer boundary; those must be rare.
void expect_agrees(const char* name, const std::int32_t* table, const Ref& ref,
                   const std::function<std::int32_t(std::int32_t)>& post = [](std::int32_t v) { return v; }) {
  int boundary = 0, wrong = 0;
  for (std::size_t i = 0; i < ref.size(); i++) {
    if (table[i] == post(to_int32(ref[i]))) continue;
    const long double q = ref[i], scale = std::max(1.0L, fabsl(q));
    const bool near = fabsl(q - roundl(q)) <= 1e-9L * scale || fabsl(fabsl(q) - 2147483648.0L) <= 1e-9L * scale;
    (near ? boundary : wrong)++;
    if (!near && wrong <= 3) ADD_FAILURE() << name << "[" << i << "] = " << table[i] << ", reference " << (double)q;
  }
  EXPECT_EQ(wrong, 0) << name;
  EXPECT_LE(boundary, static_cast<int>(ref.size() / 1000)) << name;
}

void expect_near_all(const char* name, const float* table, const Ref& ref, long double tolerance) {
  int wrong = 0;
  for (std::size_t i = 0; i < ref.size(); i++) wrong += fabsl(table[i] - ref[i]) > tolerance;
  EXPECT_EQ(wrong, 0) << name;
}

class Tables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test_tables_ready(); }
};

TEST_F(Tables, PathsAndWobbleShowTheirTellingValuesAndRanges) {
  EXPECT_EQ((std::vector<int>{path_a_x[0], path_a_y[0], path_b_x[0], path_b_y[0]}), (std::vector<int>{-5, 25, 0, 30}));
  EXPECT_EQ((std::vector<int>{path_a_x[90], path_a_y[90], path_b_x[90], path_b_y[90]}), (std::vector<int>{144, -54, 99, 30}));
  auto range = [](const std::int32_t* t, int n) { return std::make_pair(*std::min_element(t, t + n), *std::max_element(t, t + n)); };
  EXPECT_EQ(range(path_a_x, 360), std::make_pair(-38, 144));
  EXPECT_EQ(range(path_a_y, 360), std::make_pair(-54, 45));
  EXPECT_EQ(range(path_b_x, 360), std::make_pair(-12, 99));
  EXPECT_EQ(range(path_b_y, 360), std::make_pair(-42, 42));
  EXPECT_EQ(range(wobble, 256), std::make_pair(-24, 24));

  Ref ax(360), ay(360), bx(360), by(360), wb(256);
  for (int i = 0; i < 360; i++) {
    ax[i] = static_cast<double>(90 * sin_d(i)) - 30 * cos_d(2 * i) + 25;
    ay[i] = 30 * sin_d(3 * i) + static_cast<double>(25 * cos_d(2 * i));
    bx[i] = static_cast<double>(50 * sin_d(i)) - 25 * cos_d(2 * i) + 25;
    by[i] = 30 * sin_d(i) + static_cast<double>(30 * cos_d(i));
  }
  for (int i = 0; i < 256; i++) wb[i] = 25 * sinl(i * 0.0245436875L);
  expect_agrees("path_a_x", path_a_x, ax);
  expect_agrees("path_a_y", path_a_y, ay);
  expect_agrees("path_b_x", path_b_x, bx);
  expect_agrees("path_b_y", path_b_y, by);
  expect_agrees("wobble", wobble, wb);
  EXPECT_EQ(std::vector<int>(logo_row_offsets, logo_row_offsets + 10),
            (std::vector<int>{640, 320, 960, 640, 320, 960, 960, 320, 640, 960}));
  EXPECT_EQ(std::vector<int>(logo_col_offsets, logo_col_offsets + 10), (std::vector<int>{1, 3, 2, 3, 1, 2, 1, 2, 3, 2}));
}

TEST_F(Tables, WarpedPlaneFollowsItsRunningAngles) {
  Ref cw(W), rw(H);
  float a = 90, b = 130;
  for (int i = 0; i < W; i++, b = float(b + 0.28125L * sin_d(a)), a = float(a + 0.5625L)) cw[i] = float(2 * sin_d(b));
  a = 90, b = 112.5f;
  for (int j = 0; j < H; j++, b = float(b + 0.375L * sin_d(a)), a = float(a + 0.75L)) rw[j] = float(2 * sin_d(b));
  expect_near_all("column_warp", column_warp, cw, 1e-5L);
  expect_near_all("row_warp", row_warp, rw, 1e-5L);

  Ref pu(FRAME_PIXELS), pv(FRAME_PIXELS);
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const long double s = (long double)row_warp[y] + column_warp[x];
      pu[y * W + x] = 150.0L * (x - 160) / (150.0L * s);
      pv[y * W + x] = 150.0L * y / (150.0L * s);
    }
  EXPECT_EQ(plane_u[0], -47);
  expect_agrees("plane_u", plane_u, pu);
  expect_agrees("plane_v", plane_v, pv);
}

TEST_F(Tables, DepthFieldsAndTheirMaps) {
  Ref da(FRAME_PIXELS), db(FRAME_PIXELS), dc(FRAME_PIXELS), dd(FRAME_PIXELS);
  for (int pass = 0; pass < 2; pass++)
    for (int y = 0; y < H; y++)
      for (int x = 0; x < W; x++) {
        const int i = y * W + x;
        const long double cx = 90 + 0.5625L * x, ry = 90 + 0.75L * y;
        if (pass == 0) {
          da[i] = float(2 * sin_d(cx)), db[i] = float(fabsl(2 * sin_d(cx)));
          dc[i] = float(10 * sin_d(0.5625L * x)), dd[i] = float(fabsl(2 * sin_d(cx + 90)));
        } else {
          da[i] = float(da[i] + 2 * sin_d(ry)), db[i] = float(db[i] + fabsl(2 * sin_d(ry)));
          dd[i] = float(dd[i] + fabsl(2 * sin_d(ry + 90)));
        }
      }
  const float* fields[] = {depth_a, depth_b, depth_c, depth_d};
  const Ref* refs[] = {&da, &db, &dc, &dd};
  const std::int32_t* vmaps[] = {map_v_a, map_v_b, map_v_c, map_v_d};
  const std::int32_t* umaps[] = {map_u_a, map_u_b, map_u_c, map_u_d};
  for (int f = 0; f < 4; f++) {
    expect_near_all("depth", fields[f], *refs[f], 2e-6L);
    Ref v(FRAME_PIXELS), u(FRAME_PIXELS);
    for (int i = 0; i < FRAME_PIXELS; i++) {
      v[i] = 150.0L * (i / W) / (150.0L * fields[f][i]);
      u[i] = 150.0L * (i % W - 160) / (150.0L * fields[f][i]);
    }
    expect_agrees("map_v", vmaps[f], v);
    expect_agrees("map_u", umaps[f], u);
  }
  for (int y = 0; y < H; y++) {
    EXPECT_EQ(map_v_c[y * W], INT_MIN);
    EXPECT_EQ(map_u_c[y * W], INT_MIN);
  }
}

TEST_F(Tables, FloorRiseAndFloorAndCeiling) {
  Ref fv(120), fu(120 * W), rise(120), ue(FRAME_PIXELS);
  float d = 0.5f;
  for (int y = 120; y < H; y++, d = float(d + 0.1L)) {
    fv[y - 120] = 150.0L * y / (150.0L * d);
    for (int x = 0; x < W; x++) fu[(y - 120) * W + x] = 150.0L * (x - 160) / (150.0L * d);
  }
  for (int k = 0; k < 120; k++) rise[k] = tanl(30 * 3.141592L / 180) * (k + 1);
  float e = 12;
  for (int y = 0; y < H; y++, e = float(y <= 120 ? e - 0.1L : e + 0.1L))
    for (int x = 0; x < W; x++) ue[y * W + x] = 150.0L * (x - 160) / (150.0L * e);
  EXPECT_EQ(floor_v[0], 240);
  EXPECT_EQ(floor_v[119], 19);
  EXPECT_EQ(floor_rise[0], 0);
  EXPECT_EQ(floor_rise[59], 34);
  EXPECT_EQ(floor_rise[119], 69);
  expect_agrees("floor_v", floor_v, fv);
  expect_agrees("floor_u", floor_u, fu);
  expect_agrees("floor_rise", floor_rise, rise);
  expect_agrees("map_u_e", map_u_e, ue);
  EXPECT_LT(map_u_e[119 * W], 0);  // the sign flips between rows 119 and 120
  EXPECT_GT(map_u_e[120 * W], 1000000);
}

TEST_F(Tables, PolarMaps) {
  Ref angle(FRAME_PIXELS), depth(FRAME_PIXELS);
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const int dx = x - 160, dy = y - 120;
      angle[y * W + x] = atan2l(dy, dx) * 180 / 3.141592L * 256 / 360;
      const int r = to_int32(sqrtl(dx * dx + dy * dy)) & 255;
      depth[y * W + x] = 3000.0L / r;
    }
  expect_agrees("polar_angle", polar_angle, angle, [](std::int32_t v) { return v & 255; });
  expect_agrees("polar_depth", polar_depth, depth);
  const int c = 120 * W + 160;
  EXPECT_EQ(polar_depth[c], INT_MIN);
  EXPECT_EQ(polar_angle[c], 0);
  for (int n : {c - 1, c + 1, c - W, c + W}) EXPECT_EQ(polar_depth[n], 3000);
}

TEST_F(Tables, BumpMapsUseTheBlueChannelWithAZeroBorder) {
  auto b = [](int x, int y) { return static_cast<int>(test_relief_word(x, y) & 0xFF); };
  int wrong = 0;
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const bool border = x == 0 || y == 0 || x == W - 1 || y == H - 1;
      const int dx = border ? 0 : b(x - 1, y) - b(x + 1, y), dy = border ? 0 : b(x, y - 1) - b(x, y + 1);
      wrong += bump_dx[y * W + x] != dx || bump_dy[y * W + x] != dy;
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(bump_dx[5 * W + 7], b(6, 5) - b(8, 5));
}

}  // namespace
