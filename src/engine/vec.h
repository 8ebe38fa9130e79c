// The vector and matrix kit: float storage, double (or wider) arithmetic,
// every result rounded to float when stored. Angles given in degrees.
#pragma once
#include "engine/engine.h"

inline constexpr float DEG_TO_RAD = 0.017453292f;

void vec_delta(const Vec4* from, const Vec4* to, Vec4* out);  // out = to - from
float vec_length(const Vec4* v);
float vec_dot(const Vec4* a, const Vec4* b);
void vec_cross(const Vec4* a, const Vec4* b, Vec4* out);
void vec_rotate(Vec4* v, float ax, float ay, float az);  // degrees: X, then Y, then Z
void mat_identity(Mat4* m);
void mat_copy(const Mat4* src, Mat4* dst);
void mat_mul(const Mat4* a, const Mat4* b, Mat4* out);      // out must not alias
void vec_mul_mat(const Vec4* v, const Mat4* m, Vec4* out);  // out must not alias
