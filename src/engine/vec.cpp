// The vector and matrix kit: float storage, double (or wider) arithmetic,
// every result rounded to float when stored. Lengths are taken in x87
// extended precision (Extended), the same on every machine.
#include <cmath>
#include <cstdio>

#include "common/extended.h"
#include "engine/engine.h"
#include "engine/rotation.h"

void vec_delta(const Vec4* from, const Vec4* to, Vec4* out) {
  out->x = float(double(to->x) - double(from->x));
  out->y = float(double(to->y) - double(from->y));
  out->z = float(double(to->z) - double(from->z));
}

float vec_length(const Vec4* v) {
  using std::sqrt;
  const Extended x = v->x, y = v->y, z = v->z;
  return float(sqrt(x * x + y * y + z * z));
}

float vec_dot(const Vec4* a, const Vec4* b) {
  return float(double(a->x) * b->x + double(a->y) * b->y + double(a->z) * b->z);
}

void vec_cross(const Vec4* a, const Vec4* b, Vec4* out) {
  double x = double(a->y) * b->z - double(a->z) * b->y;
  double y = double(a->z) * b->x - double(a->x) * b->z;
  double z = double(a->x) * b->y - double(a->y) * b->x;
  out->x = float(x);
  out->y = float(y);
  out->z = float(z);
}

void vec_rotate(Vec4* v, float ax, float ay, float az) {
  rotation_dispatch(ax, ay, az, [&]<bool X, bool Y, bool Z>() {
    if constexpr (X || Y || Z) rotation_apply<X, Y, Z>(rotation_make<X, Y, Z>(ax, ay, az), v, 1);
  });
}

void mat_identity(Mat4* m) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m->m[i][j] = i == j ? 1.0f : 0.0f;
}

void mat_copy(const Mat4* src, Mat4* dst) { *dst = *src; }

void mat_mul(const Mat4* a, const Mat4* b, Mat4* out) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += double(a->m[i][k]) * b->m[k][j];
      out->m[i][j] = float(s);
    }
}

void vec_mul_mat(const Vec4* v, const Mat4* m, Vec4* out) {
  const double in[4] = {v->x, v->y, v->z, v->w};
  double r[4];
  for (int j = 0; j < 4; ++j) {
    r[j] = 0;
    for (int i = 0; i < 4; ++i) r[j] += in[i] * m->m[i][j];
  }
  out->x = float(r[0]);
  out->y = float(r[1]);
  out->z = float(r[2]);
  out->w = float(r[3]);
}

void mat_print(const Mat4* m) {
  for (int i = 0; i < 4; ++i) {
    std::putc('\n', stdout);
    for (int j = 0; j < 4; ++j) std::printf("%f ", double(m->m[i][j]));
  }
  std::putc('\n', stdout);
}

void vec_print(const Vec4* v) {
  std::printf("\n%f %f %f %f \n", double(v->x), double(v->y), double(v->z), double(v->w));
}
