// Rotation about X, then Y, then Z, shared by vec_rotate and object_rotate.
// The three flags say which angles are non-zero; each of the eight forms
// leaves out the terms whose coefficient is then exactly 0 or 1, so a zero
// angle costs no trigonometry and changes nothing.
#pragma once
#include <cmath>

#include "engine/engine.h"

struct Rotation {
  float c[3][3];  // x' = c[0][0]x + c[0][1]y + c[0][2]z, and so on
};

template <bool X, bool Y, bool Z>
struct RotationForm {
  static constexpr bool zero[3][3] = {{false, !((X && Y) || Z), !((X && Z) || Y)},
                                      {!Z, false, !((Y && Z) || X)},
                                      {!Y, !X, false}};
  static constexpr bool one[3][3] = {
      {!Y && !Z, false, false}, {false, !X && !Z, false}, {false, false, !X && !Y}};
};

// Coefficients from degrees; sines and cosines in double, each product
// rounded to float.
// Kept out of line: inlined into the loops, GCC 12's SLP vectoriser applies the
// unrounded double products instead of the float coefficients.
template <bool X, bool Y, bool Z>
[[gnu::noinline]] Rotation rotation_make(float ax, float ay, float az) {
  double sa = 0, ca = 1, sb = 0, cb = 1, sc = 0, cc = 1;
  if constexpr (X) {
    double a = double(ax) * double(DEG_TO_RAD);
    sa = std::sin(a);
    ca = std::cos(a);
  }
  if constexpr (Y) {
    double b = double(ay) * double(DEG_TO_RAD);
    sb = std::sin(b);
    cb = std::cos(b);
  }
  if constexpr (Z) {
    double g = double(az) * double(DEG_TO_RAD);
    sc = std::sin(g);
    cc = std::cos(g);
  }
  Rotation r;
  r.c[0][0] = float(cb * cc);
  r.c[0][1] = float(cc * sb * sa - ca * sc);
  r.c[0][2] = float(sc * sa + cc * sb * ca);
  r.c[1][0] = float(sc * cb);
  r.c[1][1] = float(cc * ca + sc * sb * sa);
  r.c[1][2] = float(sc * sb * ca - cc * sa);
  r.c[2][0] = float(-sb);
  r.c[2][1] = float(cb * sa);
  r.c[2][2] = float(cb * ca);
  return r;
}

template <typename F, int Row, int K>
inline double rotation_term(const Rotation& r, double v) {
  if constexpr (F::one[Row][K]) return v;
  else return double(r.c[Row][K]) * v;
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
  return float(sum);
}

// Rotates x, y, z of every element in place (Vec4 or Vec3); w is untouched.
template <bool X, bool Y, bool Z, typename V>
void rotation_apply(const Rotation& r, V* v, int count) {
  using F = RotationForm<X, Y, Z>;
  for (int i = 0; i < count; ++i) {
    double x = v[i].x, y = v[i].y, z = v[i].z;
    v[i].x = rotation_row<F, 0>(r, x, y, z);
    v[i].y = rotation_row<F, 1>(r, x, y, z);
    v[i].z = rotation_row<F, 2>(r, x, y, z);
  }
}

// Calls fn.template operator()<X, Y, Z>() for the form the angles select.
template <typename Fn>
void rotation_dispatch(float ax, float ay, float az, Fn&& fn) {
  int form = (ax != 0.0f ? 1 : 0) | (ay != 0.0f ? 2 : 0) | (az != 0.0f ? 4 : 0);
  switch (form) {
    case 0: fn.template operator()<false, false, false>(); break;
    case 1: fn.template operator()<true, false, false>(); break;
    case 2: fn.template operator()<false, true, false>(); break;
    case 3: fn.template operator()<true, true, false>(); break;
    case 4: fn.template operator()<false, false, true>(); break;
    case 5: fn.template operator()<true, false, true>(); break;
    case 6: fn.template operator()<false, true, true>(); break;
    default: fn.template operator()<true, true, true>(); break;
  }
}
