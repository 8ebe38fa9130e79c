// The eight shapes of the view matrix. Which of the camera's pitch, yaw and
// roll are exactly zero decides which matrix entries are structurally 0 or 1;
// the view build, the vertex transform and the object cull are each one
// template over that case, picked once per call, so the per-vertex loops
// carry neither branches nor products with known entries.
#pragma once
#include "engine/angle_case.h"
#include "engine/engine.h"

// Pitch turns about X, yaw about Y, roll about Z.
inline constexpr unsigned TURN_PITCH = ANGLE_X, TURN_YAW = ANGLE_Y, TURN_ROLL = ANGLE_Z;
enum ViewEntry { ENTRY_ZERO, ENTRY_ONE, ENTRY_ANY };

// Kind of view.m[row][col] (rows and columns 0..2) for a case.
constexpr ViewEntry view_entry(unsigned c, int row, int col) {
  const bool p = c & TURN_PITCH, y = c & TURN_YAW, r = c & TURN_ROLL;
  const int at = row * 3 + col;
  switch (at) {
    case 0:
      return (y || r) ? ENTRY_ANY : ENTRY_ONE;  // m00
    case 3:
      return r ? ENTRY_ANY : ENTRY_ZERO;  // m10
    case 6:
      return (y || (r && p)) ? ENTRY_ANY : ENTRY_ZERO;  // m20
    case 1:
      return (r || (p && y)) ? ENTRY_ANY : ENTRY_ZERO;  // m01
    case 4:
      return (r || p) ? ENTRY_ANY : ENTRY_ONE;  // m11
    case 7:
      return (p || (r && y)) ? ENTRY_ANY : ENTRY_ZERO;  // m21
    case 2:
      return y ? ENTRY_ANY : ENTRY_ZERO;  // m02
    case 5:
      return p ? ENTRY_ANY : ENTRY_ZERO;  // m12
    default:
      return (p || y) ? ENTRY_ANY : ENTRY_ONE;  // m22
  }
}

template <ViewEntry K>
inline double view_term(double v, float m) {
  if constexpr (K == ENTRY_ONE)
    return v;
  else
    return v * m;
}

// x*m0j + y*m1j + z*m2j in double, summed in that order, leaving out the
// terms whose entry is known to be 0. Equal to the full sum: only exact zeros
// are left out.
template <unsigned C, int J>
inline double view_column(double x, double y, double z, const Mat4& m) {
  constexpr ViewEntry k0 = view_entry(C, 0, J), k1 = view_entry(C, 1, J), k2 = view_entry(C, 2, J);
  static_assert(k0 != ENTRY_ZERO || k1 != ENTRY_ZERO || k2 != ENTRY_ZERO);
  if constexpr (k0 != ENTRY_ZERO) {
    double s = view_term<k0>(x, m.m[0][J]);
    if constexpr (k1 != ENTRY_ZERO) s += view_term<k1>(y, m.m[1][J]);
    if constexpr (k2 != ENTRY_ZERO) s += view_term<k2>(z, m.m[2][J]);
    return s;
  } else if constexpr (k1 != ENTRY_ZERO) {
    double s = view_term<k1>(y, m.m[1][J]);
    if constexpr (k2 != ENTRY_ZERO) s += view_term<k2>(z, m.m[2][J]);
    return s;
  } else {
    return view_term<k2>(z, m.m[2][J]);
  }
}

// A world point into view space, rounded to float per component.
template <unsigned C>
inline Vec3 view_point(float x, float y, float z, const Mat4& m) {
  return {static_cast<float>(view_column<C, 0>(x, y, z, m) + m.m[3][0]),
          static_cast<float>(view_column<C, 1>(x, y, z, m) + m.m[3][1]),
          static_cast<float>(view_column<C, 2>(x, y, z, m) + m.m[3][2])};
}

// Calls f(std::integral_constant<unsigned, C>{}) for the camera's case.
template <typename F>
inline void view_case_dispatch(const Camera* camera, F&& f) {
  angle_case_dispatch(angle_case(camera->pitch, camera->yaw, camera->roll), f);
}
