// Every precalculated table, one function each, computed in dependency order.
// Intermediates are x87 extended precision (Extended: the same bits on every
// machine); running angles are rounded to float after each step; angles turn into radians
// with 3.141592; every float-to-int conversion goes through to_int32 (several quotients leave the
// 32-bit range).
#include <cmath>
#include <cstdint>

#include "common/convert.h"
#include "common/extended.h"
#include "common/frame.h"
#include "control/tables.h"
#include "data/archive.h"

namespace {

// Decimal constants as integer quotients: each rounds once, like the literal.
const Extended PI_APPROX = Extended(3141592) / Extended(1000000);
const Extended TENTH = Extended(1) / Extended(10);
constexpr int FLOOR_ROWS = 120;

// The C library's functions on doubles, fed degrees.
Extended sin_deg(Extended deg) {
  return std::sin(static_cast<double>(deg * PI_APPROX / Extended(180)));
}
Extended cos_deg(Extended deg) {
  return std::cos(static_cast<double>(deg * PI_APPROX / Extended(180)));
}
Extended as_double(Extended v) { return static_cast<double>(v); }
Extended abs(Extended v) {
  using std::fabs;
  return fabs(v);
}

void tables_logo_offsets() {
  constexpr std::int32_t rows[10] = {640, 320, 960, 640, 320, 960, 960, 320, 640, 960};
  constexpr std::int32_t cols[10] = {1, 3, 2, 3, 1, 2, 1, 2, 3, 2};
  for (int i = 0; i < 10; i++) {
    logo_row_offsets[i] = rows[i];
    logo_col_offsets[i] = cols[i];
  }
}

void tables_paths() {
  for (int i = 0; i < 360; i++) {
    const Extended a = i;
    const Extended sa = sin_deg(a), ca = cos_deg(a);
    const Extended c2a = cos_deg(Extended(2) * a), s3a = sin_deg(Extended(3) * a);
    path_a_x[i] = to_int32(as_double(Extended(90) * sa) - Extended(30) * c2a + Extended(25));
    path_a_y[i] = to_int32(Extended(30) * s3a + as_double(Extended(25) * c2a));
    path_b_x[i] = to_int32(as_double(Extended(50) * sa) - Extended(25) * c2a + Extended(25));
    path_b_y[i] = to_int32(Extended(30) * sa + as_double(Extended(30) * ca));
  }
}

void tables_wobble() {
  const Extended step =
      Extended(std::int64_t{245436875}) / Extended(std::int64_t{10000000000});  // 0.0245436875
  for (int i = 0; i < 256; i++)
    wobble[i] = to_int32(Extended(25) * std::sin(static_cast<double>(Extended(i) * step)));
}

// One warp curve: entry = 2 sin beta, beta drifts by step_beta * sin alpha.
void warp_curve(float* out, int count, float beta, Extended step_beta, Extended step_alpha) {
  float alpha = 90.0f;
  for (int i = 0; i < count; i++) {
    out[i] = static_cast<float>(Extended(2) * sin_deg(beta));
    beta = static_cast<float>(Extended(beta) + step_beta * sin_deg(alpha));
    alpha = static_cast<float>(Extended(alpha) + step_alpha);
  }
}

void tables_warps() {
  warp_curve(column_warp, FRAME_WIDTH, 130.0f, 0.28125, 0.5625);
  warp_curve(row_warp, FRAME_HEIGHT, 112.5f, 0.375, 0.75);
}

// The perspective quotients every map is made of.
inline std::int32_t map_v_of(int y, Extended depth) {
  return to_int32(Extended(150) * Extended(y) / (Extended(150) * depth));
}
inline std::int32_t map_u_of(int x, Extended depth) {
  return to_int32(Extended(150) * Extended(x - 160) / (Extended(150) * depth));
}

void tables_plane() {
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const Extended row = row_warp[y];
    for (int x = 0; x < FRAME_WIDTH; x++) {
      const Extended s = row + Extended(column_warp[x]);
      plane_u[y * FRAME_WIDTH + x] = map_u_of(x, s);
      plane_v[y * FRAME_WIDTH + x] = map_v_of(y, s);
    }
  }
}

// A field of a column term (stored as float first) plus a row term, rounded
// to float: the same values as two passes over the whole field.
void depth_field(float* out, const float* column_term, const Extended* row_term) {
  for (int y = 0; y < FRAME_HEIGHT; y++)
    for (int x = 0; x < FRAME_WIDTH; x++)
      out[y * FRAME_WIDTH + x] = static_cast<float>(Extended(column_term[x]) + row_term[y]);
}

void tables_depths() {
  float col_a[FRAME_WIDTH], col_b[FRAME_WIDTH], col_d[FRAME_WIDTH];
  Extended row_a[FRAME_HEIGHT], row_b[FRAME_HEIGHT], row_d[FRAME_HEIGHT];
  for (int x = 0; x < FRAME_WIDTH; x++) {
    const float cx = 90.0f + 0.5625f * x;  // exact
    col_a[x] = static_cast<float>(Extended(2) * sin_deg(cx));
    col_b[x] = static_cast<float>(abs(Extended(2) * sin_deg(cx)));
    col_d[x] = static_cast<float>(abs(Extended(2) * sin_deg(Extended(cx) + Extended(90))));
  }
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const float ry = 90.0f + 0.75f * y;  // exact
    row_a[y] = Extended(2) * sin_deg(ry);
    row_b[y] = abs(Extended(2) * sin_deg(ry));
    row_d[y] = abs(Extended(2) * sin_deg(Extended(ry) + Extended(90)));
  }
  depth_field(depth_a, col_a, row_a);
  depth_field(depth_b, col_b, row_b);
  for (int x = 0; x < FRAME_WIDTH; x++) {
    const float c = static_cast<float>(Extended(10) * sin_deg(Extended(0.5625) * Extended(x)));
    for (int y = 0; y < FRAME_HEIGHT; y++) depth_c[y * FRAME_WIDTH + x] = c;
  }
  depth_field(depth_d, col_d, row_d);
}

void tables_floor() {
  float d = 0.5f;
  for (int y = FRAME_HEIGHT / 2; y < FRAME_HEIGHT; y++) {
    const int k = y - FRAME_HEIGHT / 2;
    floor_v[k] = map_v_of(y, d);
    for (int x = 0; x < FRAME_WIDTH; x++) floor_u[k * FRAME_WIDTH + x] = map_u_of(x, d);
    d = static_cast<float>(Extended(d) + TENTH);
  }
}

void tables_floor_rise() {
  const Extended slope = std::tan(0.5235986666666667);  // 30 degrees
  for (int k = 0; k < FLOOR_ROWS; k++) floor_rise[k] = to_int32(slope * Extended(k + 1));
}

void depth_maps(const float* depth, std::int32_t* v, std::int32_t* u) {
  for (int i = 0; i < FRAME_PIXELS; i++) {
    const int x = i % FRAME_WIDTH, y = i / FRAME_WIDTH;
    v[i] = map_v_of(y, depth[i]);
    u[i] = map_u_of(x, depth[i]);
  }
}

void tables_depth_maps() {
  depth_maps(depth_a, map_v_a, map_u_a);
  depth_maps(depth_b, map_v_b, map_u_b);
  depth_maps(depth_c, map_v_c, map_u_c);
  depth_maps(depth_d, map_v_d, map_u_d);
}

// Floor and ceiling: depth falls towards the middle rows and flips sign there.
void tables_map_u_e() {
  float e = 12.0f;
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    for (int x = 0; x < FRAME_WIDTH; x++) map_u_e[y * FRAME_WIDTH + x] = map_u_of(x, e);
    e = static_cast<float>(y <= 119 ? Extended(e) - TENTH : Extended(e) + TENTH);
  }
}

void tables_polar() {
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const int dy = y - 120;
    for (int x = 0; x < FRAME_WIDTH; x++) {
      const int dx = x - 160;
      const Extended angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
      // A full turn is 256 steps; negative angles wrap by two's complement.
      polar_angle[y * FRAME_WIDTH + x] =
          to_int32(angle * Extended(180) / PI_APPROX * Extended(256) / Extended(360)) & 255;
      const std::int32_t r = to_int32(std::sqrt(static_cast<double>(dx * dx + dy * dy))) & 255;
      // r = 0 at the centre: the infinite quotient becomes INT32_MIN.
      polar_depth[y * FRAME_WIDTH + x] = to_int32(Extended(3000.0f) / Extended(r));
    }
  }
}

// The relief of the bump scene: horizontal and vertical differences of the
// blue channel of `text` entry 8, with a zero border.
void tables_bump(const TextureStructure* archive) {
  const std::uint32_t* image = nullptr;
  if (archive && archive->text) {
    int k = 0;
    while (k < 8 && archive->text[k]) k++;
    image = archive->text[k];  // null when the list ends before entry 8
  }
  for (int i = 0; i < FRAME_PIXELS; i++) bump_dx[i] = bump_dy[i] = 0;
  if (!image) return;
  auto b = [image](int x, int y) {
    return static_cast<std::int32_t>(image[y * FRAME_WIDTH + x] & 0xFF);
  };
  for (int y = 1; y < FRAME_HEIGHT - 1; y++)
    for (int x = 1; x < FRAME_WIDTH - 1; x++) {
      bump_dx[y * FRAME_WIDTH + x] = b(x - 1, y) - b(x + 1, y);
      bump_dy[y * FRAME_WIDTH + x] = b(x, y - 1) - b(x, y + 1);
    }
}

}  // namespace

void tables_compute(const TextureStructure* archive) {
  tables_logo_offsets();
  tables_paths();
  tables_wobble();
  tables_warps();
  tables_plane();
  tables_depths();
  tables_floor();
  tables_floor_rise();
  tables_depth_maps();
  tables_map_u_e();
  tables_polar();
  tables_bump(archive);
}
