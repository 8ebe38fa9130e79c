// Which of three angles (about X, Y and Z) are exactly zero: one of eight
// cases. A zero angle has sine 0 and cosine 1 as constants, so each case is a
// template of its own in which that angle's trigonometry, and every product
// with a matrix entry known to be 0 or 1, is left out; the case is picked once
// per call, outside the loops.
#pragma once
#include <type_traits>

enum : unsigned { ANGLE_X = 1, ANGLE_Y = 2, ANGLE_Z = 4 };

constexpr unsigned angle_case(float x, float y, float z) {
  return (x != 0.0f ? ANGLE_X : 0u) | (y != 0.0f ? ANGLE_Y : 0u) | (z != 0.0f ? ANGLE_Z : 0u);
}

// Calls fn(std::integral_constant<unsigned, C>{}) for case C.
template <typename Fn>
inline void angle_case_dispatch(unsigned c, Fn&& fn) {
  switch (c) {
    case 0:
      fn(std::integral_constant<unsigned, 0>{});
      break;
    case 1:
      fn(std::integral_constant<unsigned, 1>{});
      break;
    case 2:
      fn(std::integral_constant<unsigned, 2>{});
      break;
    case 3:
      fn(std::integral_constant<unsigned, 3>{});
      break;
    case 4:
      fn(std::integral_constant<unsigned, 4>{});
      break;
    case 5:
      fn(std::integral_constant<unsigned, 5>{});
      break;
    case 6:
      fn(std::integral_constant<unsigned, 6>{});
      break;
    default:
      fn(std::integral_constant<unsigned, 7>{});
      break;
  }
}
