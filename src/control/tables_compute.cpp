// Every precalculated table, one function each, computed in dependency order.
// Intermediates are long double; running angles are rounded to float after
// each step; angles turn into radians with 3.141592; every float-to-int
// conversion goes through to_int32 (several quotients leave the 32-bit range).
#include <cmath>
#include <cstdint>

#include "common/convert.h"
#include "common/frame.h"
#include "control/tables.h"
#include "data/archive.h"

namespace {

constexpr long double PI_APPROX = 3.141592L;
constexpr int FLOOR_ROWS = 120;

// The C library's functions on doubles, fed degrees.
long double sin_deg(long double deg) {
  return std::sin(static_cast<double>(deg * PI_APPROX / 180.0L));
}
long double cos_deg(long double deg) {
  return std::cos(static_cast<double>(deg * PI_APPROX / 180.0L));
}
long double as_double(long double v) { return static_cast<double>(v); }

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
    const long double a = i;
    const long double sa = sin_deg(a), ca = cos_deg(a);
    const long double c2a = cos_deg(2 * a), s3a = sin_deg(3 * a);
    path_a_x[i] = to_int32(as_double(90.0L * sa) - 30.0L * c2a + 25.0L);
    path_a_y[i] = to_int32(30.0L * s3a + as_double(25.0L * c2a));
    path_b_x[i] = to_int32(as_double(50.0L * sa) - 25.0L * c2a + 25.0L);
    path_b_y[i] = to_int32(30.0L * sa + as_double(30.0L * ca));
  }
}

void tables_wobble() {
  for (int i = 0; i < 256; i++)
    wobble[i] = to_int32(25.0L * std::sin(static_cast<double>(i * 0.0245436875L)));
}

// One warp curve: entry = 2 sin beta, beta drifts by step_beta * sin alpha.
void warp_curve(float* out, int count, float beta, long double step_beta, long double step_alpha) {
  float alpha = 90.0f;
  for (int i = 0; i < count; i++) {
    out[i] = static_cast<float>(2.0L * sin_deg(beta));
    beta = static_cast<float>(beta + step_beta * sin_deg(alpha));
    alpha = static_cast<float>(alpha + step_alpha);
  }
}

void tables_warps() {
  warp_curve(column_warp, FRAME_WIDTH, 130.0f, 0.28125L, 0.5625L);
  warp_curve(row_warp, FRAME_HEIGHT, 112.5f, 0.375L, 0.75L);
}

// The perspective quotients every map is made of.
inline std::int32_t map_v_of(int y, long double depth) { return to_int32(150.0L * y / (150.0L * depth)); }
inline std::int32_t map_u_of(int x, long double depth) {
  return to_int32(150.0L * (x - 160) / (150.0L * depth));
}

void tables_plane() {
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const long double row = row_warp[y];
    for (int x = 0; x < FRAME_WIDTH; x++) {
      const long double s = row + column_warp[x];
      plane_u[y * FRAME_WIDTH + x] = map_u_of(x, s);
      plane_v[y * FRAME_WIDTH + x] = map_v_of(y, s);
    }
  }
}

// A field of a column term (stored as float first) plus a row term, rounded
// to float: the same values as two passes over the whole field.
void depth_field(float* out, const float* column_term, const long double* row_term) {
  for (int y = 0; y < FRAME_HEIGHT; y++)
    for (int x = 0; x < FRAME_WIDTH; x++)
      out[y * FRAME_WIDTH + x] = static_cast<float>(column_term[x] + row_term[y]);
}

void tables_depths() {
  float col_a[FRAME_WIDTH], col_b[FRAME_WIDTH], col_d[FRAME_WIDTH];
  long double row_a[FRAME_HEIGHT], row_b[FRAME_HEIGHT], row_d[FRAME_HEIGHT];
  for (int x = 0; x < FRAME_WIDTH; x++) {
    const float cx = 90.0f + 0.5625f * x;  // exact
    col_a[x] = static_cast<float>(2.0L * sin_deg(cx));
    col_b[x] = static_cast<float>(std::fabs(2.0L * sin_deg(cx)));
    col_d[x] = static_cast<float>(std::fabs(2.0L * sin_deg(cx + 90.0L)));
  }
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const float ry = 90.0f + 0.75f * y;  // exact
    row_a[y] = 2.0L * sin_deg(ry);
    row_b[y] = std::fabs(2.0L * sin_deg(ry));
    row_d[y] = std::fabs(2.0L * sin_deg(ry + 90.0L));
  }
  depth_field(depth_a, col_a, row_a);
  depth_field(depth_b, col_b, row_b);
  for (int x = 0; x < FRAME_WIDTH; x++) {
    const float c = static_cast<float>(10.0L * sin_deg(0.5625L * x));
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
    d = static_cast<float>(d + 0.1L);
  }
}

void tables_floor_rise() {
  const long double slope = std::tan(0.5235986666666667);  // 30 degrees
  for (int k = 0; k < FLOOR_ROWS; k++) floor_rise[k] = to_int32(slope * (k + 1));
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
    e = static_cast<float>(y <= 119 ? e - 0.1L : e + 0.1L);
  }
}

void tables_polar() {
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const int dy = y - 120;
    for (int x = 0; x < FRAME_WIDTH; x++) {
      const int dx = x - 160;
      const long double angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
      // A full turn is 256 steps; negative angles wrap by two's complement.
      polar_angle[y * FRAME_WIDTH + x] = to_int32(angle * 180.0L / PI_APPROX * 256.0L / 360.0L) & 255;
      const std::int32_t r = to_int32(std::sqrt(static_cast<double>(dx * dx + dy * dy))) & 255;
      // r = 0 at the centre: the infinite quotient becomes INT32_MIN.
      polar_depth[y * FRAME_WIDTH + x] = to_int32(static_cast<long double>(3000.0f) / r);
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
  auto b = [image](int x, int y) { return static_cast<std::int32_t>(image[y * FRAME_WIDTH + x] & 0xFF); };
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
