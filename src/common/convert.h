// Float-to-integer conversion as the whole system defines it: truncation toward
// zero, and NaN or anything outside the signed 32-bit range gives INT32_MIN
// (what the x86 truncating conversion yields). Every conversion whose input may
// leave the range goes through here, so none is undefined behaviour.
#pragma once
#include <cstdint>
#include <limits>

#include "common/extended.h"

constexpr std::int32_t to_int32(long double v) {
  // Compare in long double: both bounds are exact there.
  if (!(v > -2147483649.0L && v < 2147483648.0L)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}
// Both bounds are exact in double as well, so double and float compare there:
// the same answers, and no software long double where that is what it is.
constexpr std::int32_t to_int32(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}
constexpr std::int32_t to_int32(float v) { return to_int32(static_cast<double>(v)); }
#if defined(__SIZEOF_INT128__)
constexpr std::int32_t to_int32(const SoftExtended& v) {
  if (!(v > SoftExtended(-2147483649.0) && v < SoftExtended(2147483648.0)))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}
#endif
