// The software model of x87 extended precision against the x87 itself: every
// operation the tables use, on operands chosen to hit rounding ties, carries,
// cancellation and the special values. Runs where long double is the x87
// format; the other machines prove the model through the tables' bytes.
#include "common/extended.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "common/convert.h"

#if defined(__x86_64__) && defined(__SIZEOF_INT128__)
namespace {

SoftExtended soft(long double v) {
  unsigned char b[16] = {};
  std::memcpy(b, &v, 10);
  std::uint64_t mant;
  std::memcpy(&mant, b, 8);
  const int se = b[8] | b[9] << 8, biased = se & 0x7FFF;
  const bool neg = se >> 15;
  if (biased == 0x7FFF)
    return mant << 1 ? SoftExtended(std::nan("")) : SoftExtended(neg ? -HUGE_VAL : HUGE_VAL);
  if (mant == 0) return neg ? SoftExtended(-0.0) : SoftExtended(0.0);
  return SoftExtended::from_parts(neg, mant, biased - 16383 - 63);
}

// Same value and same sign, or both NaN.
::testing::AssertionResult same(const SoftExtended& got, long double want, const char* what) {
  const SoftExtended w = soft(want);
  if (got.is_nan() && w.is_nan()) return ::testing::AssertionSuccess();
  const auto g = got.parts(), e = w.parts();
  if (got.is_finite() == w.is_finite() && g.neg == e.neg &&
      (!got.is_finite() || (g.mant == e.mant && g.exp == e.exp)) && !got.is_nan() && !w.is_nan())
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << what << ": want " << static_cast<double>(want) << std::hex << " (mant " << e.mant
         << " exp " << std::dec << e.exp << "), got mant " << std::hex << g.mant << " exp "
         << std::dec << g.exp;
}

}  // namespace

TEST(SoftExtended, EveryOperationRoundsAsTheX87Does) {
  std::mt19937_64 rng(17);
  // Significands with long runs of ones or zeros make ties and carries.
  auto operand = [&]() -> long double {
    std::uint64_t m = rng() | std::uint64_t(1) << 63;
    switch (rng() % 4) {
      case 0:
        m |= (std::uint64_t(1) << (rng() % 63)) - 1;
        break;
      case 1:
        m &= ~((std::uint64_t(1) << (rng() % 63)) - 1);
        break;
      case 2:
        m = std::uint64_t(static_cast<double>(m)) | std::uint64_t(1) << 63;
        break;  // a double's bits
      default:
        break;
    }
    long double v = std::ldexp(static_cast<long double>(m), static_cast<int>(rng() % 80) - 103);
    return rng() % 2 ? -v : v;
  };
  for (int i = 0; i < 200000; i++) {
    const long double a = operand();
    long double b = operand();
    if (i % 3 == 0) b = -a * (1 + std::ldexp(1.0L, -static_cast<int>(rng() % 64)));  // cancellation
    if (i % 7 == 0) b = std::ldexp(b, static_cast<int>(rng() % 140) - 70);           // far apart
    const SoftExtended sa = soft(a), sb = soft(b);
    ASSERT_TRUE(same(sa + sb, a + b, "+"));
    ASSERT_TRUE(same(sa - sb, a - b, "-"));
    ASSERT_TRUE(same(sa * sb, a * b, "*"));
    ASSERT_TRUE(same(sa / sb, a / b, "/"));
    ASSERT_TRUE(same(sqrt(fabs(sa)), std::sqrt(std::fabs(a)), "sqrt"));
    ASSERT_EQ(static_cast<double>(sa), static_cast<double>(a));
    ASSERT_EQ(static_cast<float>(sa), static_cast<float>(a));
    ASSERT_EQ(sa < sb, a < b);
    const long double small = std::ldexp(a, -std::ilogb(a) + static_cast<int>(rng() % 31));
    ASSERT_EQ(static_cast<std::int32_t>(soft(small)), static_cast<std::int32_t>(small));
    const auto n = static_cast<std::int64_t>(rng());
    ASSERT_TRUE(same(SoftExtended(n), static_cast<long double>(n), "int"));
  }
  // Ties decided by bits far below the shorter operand's last one.
  for (int k = 60; k < 70; k++)
    for (long double tail : {0.0L, 1.0L, -1.0L}) {
      const long double b = std::ldexp(1 + std::ldexp(tail, -63), -k);
      for (long double a : {1.0L, -1.0L, 1.5L}) {
        ASSERT_TRUE(same(soft(a) - soft(b), a - b, "tie -"));
        ASSERT_TRUE(same(soft(a) + soft(b), a + b, "tie +"));
      }
    }
  // The special values the tables meet: x/0, 0/0, and conversions of both.
  const long double zero = 0, one = 1, inf = one / zero;
  for (long double a : {zero, -zero, one, -one, inf, -inf})
    for (long double b : {zero, -zero, one, -one, inf, -inf}) {
      ASSERT_TRUE(same(soft(a) / soft(b), a / b, "special /"));
      ASSERT_TRUE(same(soft(a) * soft(b), a * b, "special *"));
      ASSERT_TRUE(same(soft(a) + soft(b), a + b, "special +"));
    }
  EXPECT_TRUE(std::isnan(static_cast<double>(soft(zero) / soft(zero))));
  EXPECT_EQ(static_cast<double>(soft(one) / soft(-zero)), -HUGE_VAL);
  // The decimal constants: an integer quotient rounds like the literal.
  EXPECT_TRUE(same(SoftExtended(3141592) / SoftExtended(1000000), 3.141592L, "pi"));
  EXPECT_TRUE(same(SoftExtended(1) / SoftExtended(10), 0.1L, "0.1"));
  EXPECT_TRUE(same(SoftExtended(std::int64_t{245436875}) / SoftExtended(std::int64_t{10000000000}),
                   0.0245436875L, "step"));
}
#endif

// The float and double conversions decide the range in their own precision:
// at its edges, and on NaN and infinities, they answer as the long double one.
TEST(ToInt32, DoubleAndFloatAgreeWithLongDoubleAtTheRangeEdges) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double edge : {-2147483649.0, -2147483648.0, 2147483647.0, 2147483648.0, 0.0})
    for (double v :
         {std::nextafter(edge, -inf), edge, std::nextafter(edge, inf), edge + 0.5, edge - 0.5}) {
      EXPECT_EQ(to_int32(v), to_int32(static_cast<long double>(v))) << v;
      const float f = static_cast<float>(v);
      EXPECT_EQ(to_int32(f), to_int32(static_cast<long double>(f))) << f;
    }
  for (double v : {inf, -inf, std::nan("")}) {
    EXPECT_EQ(to_int32(v), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(to_int32(static_cast<float>(v)), std::numeric_limits<std::int32_t>::min());
  }
}
