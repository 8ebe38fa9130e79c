// Rotation about X, then Y, then Z, shared by vec_rotate and object_rotate.
// The angle case says which angles are non-zero; each of the eight forms
// leaves out the terms whose coefficient is then exactly 0 or 1, so a zero
// angle costs no trigonometry and changes nothing.
#pragma once
#include <cmath>

#include "engine/angle_case.h"
#include "engine/engine.h"
#include "engine/vec.h"

struct Rotation {
  float c[3][3];  // x' = c[0][0]x + c[0][1]y + c[0][2]z, and so on
};

template <unsigned C>
struct RotationForm {
  static constexpr bool X = C & ANGLE_X, Y = C & ANGLE_Y, Z = C & ANGLE_Z;
  static constexpr bool zero[3][3] = {
      {false, !((X && Y) || Z), !((X && Z) || Y)}, {!Z, false, !((Y && Z) || X)}, {!Y, !X, false}};
  static constexpr bool one[3][3] = {
      {!Y && !Z, false, false}, {false, !X && !Z, false}, {false, false, !X && !Y}};
};

// The sine and cosine of an angle in degrees, in double.
inline void rotation_sine_cosine(float degrees, double* s, double* c) {
  const double a = static_cast<double>(degrees) * static_cast<double>(DEG_TO_RAD);
  *s = std::sin(a);
  *c = std::cos(a);
}

// Coefficients from degrees; sines and cosines in double, each product
// rounded to float.
// Kept out of line: inlined into the loops, GCC 12's SLP vectoriser applies the
// unrounded double products instead of the float coefficients.
template <unsigned C>
[[gnu::noinline]] Rotation rotation_make(float ax, float ay, float az) {
  using F = RotationForm<C>;
  double sa = 0, ca = 1, sb = 0, cb = 1, sc = 0, cc = 1;
  if constexpr (F::X) rotation_sine_cosine(ax, &sa, &ca);
  if constexpr (F::Y) rotation_sine_cosine(ay, &sb, &cb);
  if constexpr (F::Z) rotation_sine_cosine(az, &sc, &cc);
  Rotation r;
  r.c[0][0] = static_cast<float>(cb * cc);
  r.c[0][1] = static_cast<float>(cc * sb * sa - ca * sc);
  r.c[0][2] = static_cast<float>(sc * sa + cc * sb * ca);
  r.c[1][0] = static_cast<float>(sc * cb);
  r.c[1][1] = static_cast<float>(cc * ca + sc * sb * sa);
  r.c[1][2] = static_cast<float>(sc * sb * ca - cc * sa);
  r.c[2][0] = static_cast<float>(-sb);
  r.c[2][1] = static_cast<float>(cb * sa);
  r.c[2][2] = static_cast<float>(cb * ca);
  return r;
}

template <typename F, int Row, int K>
inline double rotation_term(const Rotation& r, double v) {
  if constexpr (F::one[Row][K])
    return v;
  else
    return static_cast<double>(r.c[Row][K]) * v;
}

// One new component from the old ones, the terms in order, zero terms left
// out (the diagonal term is never zero).
template <typename F, int Row>
inline float rotation_row(const Rotation& r, double x, double y, double z) {
  constexpr bool zero0 = F::zero[Row][0], zero1 = F::zero[Row][1], zero2 = F::zero[Row][2];
  double sum;
  if constexpr (!zero0) {
    sum = rotation_term<F, Row, 0>(r, x);
    if constexpr (!zero1) sum += rotation_term<F, Row, 1>(r, y);
    if constexpr (!zero2) sum += rotation_term<F, Row, 2>(r, z);
  } else if constexpr (!zero1) {
    sum = rotation_term<F, Row, 1>(r, y);
    if constexpr (!zero2) sum += rotation_term<F, Row, 2>(r, z);
  } else {
    sum = rotation_term<F, Row, 2>(r, z);
  }
  return static_cast<float>(sum);
}

// Rotates x, y, z of every element in place (Vec4 or Vec3); w is untouched.
template <unsigned C, typename V>
void rotation_apply(const Rotation& r, V* v, int count) {
  using F = RotationForm<C>;
  for (int i = 0; i < count; ++i) {
    const double x = v[i].x, y = v[i].y, z = v[i].z;
    v[i].x = rotation_row<F, 0>(r, x, y, z);
    v[i].y = rotation_row<F, 1>(r, x, y, z);
    v[i].z = rotation_row<F, 2>(r, x, y, z);
  }
}
