// The software model of x87 extended precision against the x87 itself: every
// operation the project uses, on operands chosen to hit rounding ties,
// carries and cancellation, and on the edges: the exponent limits, the
// x87's denormals, the subnormal ranges of double and float, NaNs (with
// payloads, both signs, signalling ones), infinities and zeros. Where long
// double is the x87 format each result is checked against it; every machine
// then checks a digest of all results against the one recorded here, which
// the x87 run proves.
#include "common/extended.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "common/convert.h"

#if defined(__SIZEOF_INT128__)
namespace {

using X87 = SoftExtended::X87;

// An operand as its 80-bit encoding, the same on every machine.
X87 operand(std::mt19937_64& rng) {
  std::uint64_t m = rng() | std::uint64_t(1) << 63;
  switch (rng() % 4) {  // long runs of ones or zeros make ties and carries
    case 0:
      m |= (std::uint64_t(1) << (rng() % 63)) - 1;
      break;
    case 1:
      m &= ~((std::uint64_t(1) << (rng() % 63)) - 1);
      break;
    case 2:
      m &= ~std::uint64_t(0x7FF);  // a double's bits
      break;
    default:
      break;
  }
  const int pick = static_cast<int>(rng() % 16);
  int leading = static_cast<int>(rng() % 80) - 40;                // ordinary values
  if (pick == 0) leading = 16383 - static_cast<int>(rng() % 4);   // near overflow
  if (pick == 1) leading = -16382 + static_cast<int>(rng() % 4);  // near the denormals
  if (pick == 2) leading = -1080 + static_cast<int>(rng() % 64);  // double's subnormals
  if (pick == 3) leading = -153 + static_cast<int>(rng() % 30);   // float's subnormals
  if (pick == 4) leading = (rng() % 2 ? 1021 : 125) + static_cast<int>(rng() % 5);  // their tops
  const std::uint16_t sign = rng() % 2 ? 0x8000 : 0;
  if (pick == 5) return {sign, (m >> 1) >> (rng() % 64)};  // a denormal, or zero
  if (pick == 6) {
    switch (rng() % 4) {
      case 0:
        return {std::uint16_t(sign | 0x7FFF), std::uint64_t(1) << 63};  // infinity
      case 1:
        return {sign, 0};
      case 2:
        return {std::uint16_t(sign | 0x7FFF), m | std::uint64_t(1) << 62};  // quiet NaN
      default:
        return {std::uint16_t(sign | 0x7FFF), (m & ~(std::uint64_t(1) << 62)) | 1};  // signalling
    }
  }
  return {std::uint16_t(sign | (leading + 16383)), m};
}

// FNV-1a over values laid out little-endian.
struct Digest {
  std::uint64_t h = 14695981039346656037u;
  void add(std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; i++) h = (h ^ ((v >> (8 * i)) & 0xFF)) * 1099511628211u;
  }
  void add(const SoftExtended& v) {
    const X87 e = v.x87();
    add(e.sign_exp, 2);
    add(e.mant, 8);
  }
};

#if defined(__x86_64__)
long double hard(X87 e) {
  unsigned char b[sizeof(long double)] = {};
  std::memcpy(b, &e.mant, 8);
  std::memcpy(b + 8, &e.sign_exp, 2);
  long double v;
  std::memcpy(&v, b, sizeof v);
  return v;
}
X87 encoding(long double v) {
  X87 e;
  std::memcpy(&e.mant, &v, 8);
  std::memcpy(&e.sign_exp, reinterpret_cast<const unsigned char*>(&v) + 8, 2);
  return e;
}
::testing::AssertionResult same(const SoftExtended& got, long double want, const char* what) {
  const X87 g = got.x87(), w = encoding(want);
  if (g.sign_exp == w.sign_exp && g.mant == w.mant) return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof text, "%s: want %04x:%016llx, got %04x:%016llx", what, w.sign_exp,
                static_cast<unsigned long long>(w.mant), g.sign_exp,
                static_cast<unsigned long long>(g.mant));
  return ::testing::AssertionFailure() << text;
}
#endif

}  // namespace

TEST(SoftExtended, EveryOperationRoundsAsTheX87Does) {
  std::mt19937_64 rng(17);
  Digest digest;
  for (int i = 0; i < 200000; i++) {
    const X87 ea = operand(rng);
    X87 eb = operand(rng);
    if (i % 3 == 0 && ea.mant >> 63)  // cancellation; NaNs of one payload
      eb = {std::uint16_t(ea.sign_exp ^ 0x8000), ea.mant ^ (rng() % 8)};
    if (i % 7 == 0 && (eb.sign_exp & 0x7FFF) > 100 && (eb.sign_exp & 0x7FFF) < 0x7F00)  // far
      eb.sign_exp = static_cast<std::uint16_t>(eb.sign_exp + rng() % 140 - 70);
    const SoftExtended a = SoftExtended::from_x87(ea.sign_exp, ea.mant),
                       b = SoftExtended::from_x87(eb.sign_exp, eb.mant);
    const SoftExtended sum = a + b, difference = a - b, product = a * b, quotient = a / b,
                       root = sqrt(fabs(a)), signed_root = sqrt(a);
    const auto as_double = std::bit_cast<std::uint64_t>(static_cast<double>(a));
    const auto as_float = std::bit_cast<std::uint32_t>(static_cast<float>(a));
    const unsigned order = (a < b) | (a > b) << 1 | (a == b) << 2 | (a <= b) << 3 | (a >= b) << 4;
    // Into the int range for the truncation; a double's and a float's bits in.
    const SoftExtended small = SoftExtended::from_x87(
        static_cast<std::uint16_t>((ea.sign_exp & 0x8000) | (16383 + rng() % 31)),
        ea.mant | std::uint64_t(1) << 63);
    const auto whole = static_cast<std::int32_t>(small);
    const auto n = static_cast<std::int64_t>(rng());
    const std::uint64_t d_bits = rng();
    const auto f_bits = static_cast<std::uint32_t>(rng());
    const SoftExtended from_n(n), from_d(std::bit_cast<double>(d_bits)),
        from_f(std::bit_cast<float>(f_bits));
    for (const SoftExtended* v :
         {&sum, &difference, &product, &quotient, &root, &signed_root, &from_n, &from_d, &from_f})
      digest.add(*v);
    digest.add(as_double, 8);
    digest.add(as_float, 4);
    digest.add(order, 1);
    digest.add(static_cast<std::uint32_t>(whole), 4);
#if defined(__x86_64__)
    const long double ha = hard(ea), hb = hard(eb);
    ASSERT_TRUE(same(sum, ha + hb, "+"));
    ASSERT_TRUE(same(difference, ha - hb, "-"));
    ASSERT_TRUE(same(product, ha * hb, "*"));
    ASSERT_TRUE(same(quotient, ha / hb, "/"));
    ASSERT_TRUE(same(root, std::sqrt(std::fabs(ha)), "sqrt"));
    ASSERT_TRUE(same(signed_root, std::sqrt(ha), "signed sqrt"));
    ASSERT_EQ(as_double, std::bit_cast<std::uint64_t>(static_cast<double>(ha)));
    ASSERT_EQ(as_float, std::bit_cast<std::uint32_t>(static_cast<float>(ha)));
    ASSERT_EQ(order,
              (ha < hb) | (ha > hb) << 1 | (ha == hb) << 2 | (ha <= hb) << 3 | (ha >= hb) << 4);
    ASSERT_EQ(whole, static_cast<std::int32_t>(hard(small.x87())));
    ASSERT_TRUE(same(from_n, static_cast<long double>(n), "int64"));
    ASSERT_TRUE(same(from_d, static_cast<long double>(std::bit_cast<double>(d_bits)), "double"));
    ASSERT_TRUE(same(from_f, static_cast<long double>(std::bit_cast<float>(f_bits)), "float"));
#endif
  }
  // Proven above against the x87. A deliberate change to the operands makes
  // a new one: take it from the failure message of an x86-64 run.
  EXPECT_EQ(digest.h, 0xde4099a59416ddb5u) << std::hex << "digest " << digest.h;
}

#if defined(__x86_64__)
TEST(SoftExtended, TiesFarBelowAndDecimalConstants) {
  // Ties decided by bits far below the shorter operand's last one.
  for (int k = 60; k < 70; k++)
    for (long double tail : {0.0L, 1.0L, -1.0L}) {
      const long double b = std::ldexp(1 + std::ldexp(tail, -63), -k);
      for (long double a : {1.0L, -1.0L, 1.5L}) {
        const SoftExtended sa = SoftExtended::from_x87(encoding(a).sign_exp, encoding(a).mant),
                           sb = SoftExtended::from_x87(encoding(b).sign_exp, encoding(b).mant);
        ASSERT_TRUE(same(sa - sb, a - b, "tie -"));
        ASSERT_TRUE(same(sa + sb, a + b, "tie +"));
      }
    }
  // The decimal constants: an integer quotient rounds like the literal.
  EXPECT_TRUE(same(SoftExtended(3141592) / SoftExtended(1000000), 3.141592L, "pi"));
  EXPECT_TRUE(same(SoftExtended(1) / SoftExtended(10), 0.1L, "0.1"));
  EXPECT_TRUE(same(SoftExtended(std::int64_t{245436875}) / SoftExtended(std::int64_t{10000000000}),
                   0.0245436875L, "step"));
}
#endif
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
