// The vector and matrix kit: float storage, double (or wider) arithmetic,
// every result rounded to float when stored. Lengths are taken in x87
// extended precision (Extended), the same on every machine.
#include "engine/vec.h"

#include <cmath>

#include "common/extended.h"
#include "engine/angle_case.h"
#include "engine/rotation.h"

void vec_delta(const Vec4* from, const Vec4* to, Vec4* out) {
  out->x = static_cast<float>(static_cast<double>(to->x) - from->x);
  out->y = static_cast<float>(static_cast<double>(to->y) - from->y);
  out->z = static_cast<float>(static_cast<double>(to->z) - from->z);
}

float vec_length(const Vec4* v) {
  using std::sqrt;
  const Extended x = v->x, y = v->y, z = v->z;
  return static_cast<float>(sqrt(x * x + y * y + z * z));
}

float vec_dot(const Vec4* a, const Vec4* b) {
  return static_cast<float>(static_cast<double>(a->x) * b->x + static_cast<double>(a->y) * b->y +
                            static_cast<double>(a->z) * b->z);
}

void vec_cross(const Vec4* a, const Vec4* b, Vec4* out) {
  const double x = static_cast<double>(a->y) * b->z - static_cast<double>(a->z) * b->y;
  const double y = static_cast<double>(a->z) * b->x - static_cast<double>(a->x) * b->z;
  const double z = static_cast<double>(a->x) * b->y - static_cast<double>(a->y) * b->x;
  out->x = static_cast<float>(x);
  out->y = static_cast<float>(y);
  out->z = static_cast<float>(z);
}

void vec_rotate(Vec4* v, float ax, float ay, float az) {
  angle_case_dispatch(angle_case(ax, ay, az), [&](auto c) {
    constexpr unsigned C = decltype(c)::value;
    if constexpr (C != 0) rotation_apply<C>(rotation_make<C>(ax, ay, az), v, 1);
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
      for (int k = 0; k < 4; ++k) s += static_cast<double>(a->m[i][k]) * b->m[k][j];
      out->m[i][j] = static_cast<float>(s);
    }
}

void vec_mul_mat(const Vec4* v, const Mat4* m, Vec4* out) {
  const double in[4] = {v->x, v->y, v->z, v->w};
  double r[4];
  for (int j = 0; j < 4; ++j) {
    r[j] = 0;
    for (int i = 0; i < 4; ++i) r[j] += in[i] * m->m[i][j];
  }
  out->x = static_cast<float>(r[0]);
  out->y = static_cast<float>(r[1]);
  out->z = static_cast<float>(r[2]);
  out->w = static_cast<float>(r[3]);
}
