// Extended precision as the x87 has it: a 64-bit significand, every result
// rounded to nearest even. The tables, vector lengths and centroids are
// defined in it, and their values must be the same on every machine. On x86
// that is long double itself; elsewhere long double is another format (IEEE
// quad on arm64 and s390x), so SoftExtended models the x87 format exactly
// for the few operations used: + - * /, sqrt, comparisons and the
// conversions from and to int, float and double, down to the x87's edges:
// its exponent range (overflow to infinity, gradual underflow through its
// denormals), subnormal doubles and floats, unordered NaN comparisons, and
// NaNs as it makes and passes them on (the default NaN is negative).
#pragma once
#include <bit>
#include <cstdint>
#include <limits>

#if defined(__SIZEOF_INT128__)
class SoftExtended {
 public:
  constexpr SoftExtended() = default;
  constexpr SoftExtended(double v) { set_double(v); }
  constexpr SoftExtended(float v) { set_double(v); }
  constexpr SoftExtended(int v) { set_int(v); }
  constexpr SoftExtended(std::int64_t v) { set_int(v); }

  explicit constexpr operator double() const {
    return to_binary<double, std::uint64_t, 53, 1023>();
  }
  explicit constexpr operator float() const { return to_binary<float, std::uint32_t, 24, 127>(); }
  // Truncation toward zero; the caller keeps the value in the 32-bit range
  // (which puts the exponent below -32).
  explicit constexpr operator std::int32_t() const {
    if (kind_ != Kind::finite || exp_ < -63 || exp_ >= 0) return 0;
    const std::uint64_t mag = mant_ >> -exp_;
    return neg_ ? static_cast<std::int32_t>(0 - mag) : static_cast<std::int32_t>(mag);
  }

  // mant * 2^exp, rounded to the format.
  static constexpr SoftExtended from_parts(bool neg, std::uint64_t mant, int exp) {
    return round(neg, mant, exp, false);
  }
  // The x87's 80-bit encoding: sign and biased exponent, explicit significand.
  static constexpr SoftExtended from_x87(std::uint16_t sign_exp, std::uint64_t mant) {
    const bool neg = sign_exp >> 15;
    const int biased = sign_exp & 0x7FFF;
    if (biased == 0x7FFF) {
      if (mant << 1 == 0) return special(Kind::inf, neg);
      SoftExtended r = special(Kind::nan, neg);
      r.mant_ = mant | TOP;
      return r;
    }
    if (mant == 0) return special(Kind::zero, neg);
    return round(neg, mant, (biased ? biased : 1) - BIAS - 63, false);  // denormals at the lowest
  }
  struct X87 {
    std::uint16_t sign_exp;
    std::uint64_t mant;
  };
  constexpr X87 x87() const {
    const std::uint16_t sign = neg_ ? 0x8000 : 0;
    switch (kind_) {
      case Kind::zero:
        return {sign, 0};
      case Kind::inf:
        return {std::uint16_t(sign | 0x7FFF), TOP};
      case Kind::nan:
        return {std::uint16_t(sign | 0x7FFF), mant_};
      case Kind::finite:
        break;
    }
    const int biased = exp_ + 63 + BIAS;
    if (biased >= 1) return {std::uint16_t(sign | biased), mant_};
    return {sign, mant_ >> (1 - biased)};  // a denormal: exact by construction
  }
  struct Parts {
    bool neg;
    std::uint64_t mant;
    int exp;
  };
  constexpr Parts parts() const { return {neg_, mant_, exp_}; }
  constexpr bool is_finite() const { return kind_ == Kind::finite; }
  constexpr bool is_nan() const { return kind_ == Kind::nan; }

  friend constexpr SoftExtended operator-(SoftExtended a) {
    a.neg_ = !a.neg_;  // NaNs too, as the x87 changes sign
    return a;
  }
  friend constexpr SoftExtended operator+(const SoftExtended& a, const SoftExtended& b) {
    return add(a, b, false);
  }
  friend constexpr SoftExtended operator-(const SoftExtended& a, const SoftExtended& b) {
    return add(a, b, true);
  }
  friend constexpr SoftExtended operator*(const SoftExtended& a, const SoftExtended& b) {
    const bool neg = a.neg_ != b.neg_;
    if (a.is_nan() || b.is_nan()) return pass_nan(a, b);
    if (a.kind_ == Kind::inf || b.kind_ == Kind::inf)
      return (a.kind_ == Kind::zero || b.kind_ == Kind::zero) ? default_nan()
                                                              : special(Kind::inf, neg);
    if (a.kind_ == Kind::zero || b.kind_ == Kind::zero) return special(Kind::zero, neg);
    return round(neg, U128(a.mant_) * b.mant_, a.exp_ + b.exp_, false);
  }
  friend constexpr SoftExtended operator/(const SoftExtended& a, const SoftExtended& b) {
    const bool neg = a.neg_ != b.neg_;
    if (a.is_nan() || b.is_nan()) return pass_nan(a, b);
    if (a.kind_ == Kind::inf) return b.kind_ == Kind::inf ? default_nan() : special(Kind::inf, neg);
    if (b.kind_ == Kind::inf) return special(Kind::zero, neg);
    if (b.kind_ == Kind::zero)
      return a.kind_ == Kind::zero ? default_nan() : special(Kind::inf, neg);
    if (a.kind_ == Kind::zero) return special(Kind::zero, neg);
    // 66 quotient bits, floor(a * 2^65 / b), in three steps whose partial
    // quotients fit 64-bit words (a 128-by-64 division is cheap everywhere);
    // the remainder is the sticky bit.
    const std::uint64_t top = a.mant_ >= b.mant_ ? 1 : 0;  // both have their top bit set
    const std::uint64_t rest = a.mant_ - (top ? b.mant_ : 0);
    const U128 wide = U128(rest) << 64;
    const auto middle = static_cast<std::uint64_t>(wide / b.mant_);  // rest < b: fits
    const U128 rem = (U128(static_cast<std::uint64_t>(wide - U128(middle) * b.mant_)) << 1);
    const std::uint64_t last = rem >= b.mant_ ? 1 : 0;
    const U128 q = (U128(top) << 65) | (U128(middle) << 1) | last;
    return round(neg, q, a.exp_ - b.exp_ - 65, rem != (last ? U128(b.mant_) : U128(0)));
  }
  friend constexpr SoftExtended sqrt(const SoftExtended& a) {
    if (a.is_nan()) return pass_nan(a, a);
    if (a.neg_ && a.kind_ != Kind::zero) return default_nan();
    if (a.kind_ != Kind::finite) return a;
    // Digit by digit: 66 root bits of mant * 2^66 (times 2 for an odd
    // exponent), the remainder is the sticky bit.
    const bool odd = (a.exp_ & 1) != 0;
    const U128 in = U128(a.mant_) << (odd ? 1 : 0);  // 65 bits at most, read as 33 pairs
    U128 rem = 0, root = 0;
    for (int i = 0; i < 66; i++) {
      const int shift = 64 - 2 * i;
      const unsigned pair = shift >= 0 ? static_cast<unsigned>((in >> shift) & 3) : 0;
      rem = (rem << 2) | pair;
      const U128 trial = (root << 2) | 1;
      root <<= 1;
      if (rem >= trial) {
        rem -= trial;
        root |= 1;
      }
    }
    // in * 2^66 = root^2: the value's root is root * 2^((exp - odd - 66) / 2).
    return round(false, root, (a.exp_ - (odd ? 1 : 0) - 66) / 2, rem != 0);
  }
  friend constexpr SoftExtended fabs(SoftExtended a) {
    a.neg_ = false;
    return a;
  }

  // A NaN on either side is unordered: every comparison but != is false.
  friend constexpr bool operator<(const SoftExtended& a, const SoftExtended& b) {
    return compare(a, b) == Order::less;
  }
  friend constexpr bool operator>(const SoftExtended& a, const SoftExtended& b) {
    return compare(a, b) == Order::greater;
  }
  friend constexpr bool operator<=(const SoftExtended& a, const SoftExtended& b) {
    const Order o = compare(a, b);
    return o == Order::less || o == Order::equal;
  }
  friend constexpr bool operator>=(const SoftExtended& a, const SoftExtended& b) {
    const Order o = compare(a, b);
    return o == Order::greater || o == Order::equal;
  }
  friend constexpr bool operator==(const SoftExtended& a, const SoftExtended& b) {
    return compare(a, b) == Order::equal;
  }

 private:
  using U128 = unsigned __int128;
  enum class Kind : std::uint8_t { zero, finite, inf, nan };
  enum class Order : std::uint8_t { less, equal, greater, unordered };
  static constexpr int BIAS = 16383;
  static constexpr int MAX_EXP = 16383;          // of the leading bit
  static constexpr int MIN_LSB = 1 - BIAS - 63;  // a denormal's last bit, 2^-16445
  static constexpr std::uint64_t TOP = std::uint64_t(1) << 63, QUIET = TOP >> 1;
  // Finite: the top bit set, value = mant * 2^exp (denormals too, shifted up).
  // NaN: the x87 significand, its payload.
  std::uint64_t mant_ = 0;
  std::int32_t exp_ = 0;
  bool neg_ = false;
  Kind kind_ = Kind::zero;

  static constexpr SoftExtended special(Kind k, bool neg) {
    SoftExtended r;
    r.kind_ = k;
    r.neg_ = neg;
    if (k == Kind::inf) r.mant_ = TOP;
    return r;
  }
  // What an invalid operation makes: negative, quiet, no payload.
  static constexpr SoftExtended default_nan() {
    SoftExtended r = special(Kind::nan, true);
    r.mant_ = TOP | QUIET;
    return r;
  }
  // A NaN operand goes through quieted; of two, a quiet one before a
  // signalling one, then the larger significand, then the positive one.
  static constexpr SoftExtended pass_nan(const SoftExtended& a, const SoftExtended& b) {
    SoftExtended r = a;
    if (!a.is_nan()) {
      r = b;
    } else if (b.is_nan()) {
      const bool qa = a.mant_ & QUIET, qb = b.mant_ & QUIET;
      if (qa != qb)
        r = qa ? a : b;
      else if (a.mant_ != b.mant_)
        r = a.mant_ > b.mant_ ? a : b;
      else
        r.neg_ = a.neg_ && b.neg_;
    }
    r.mant_ |= QUIET;
    return r;
  }

  // Rounds mag * 2^exp (+ a sticky fraction below mag's last bit) to 64
  // bits, or to fewer below the normal range, to nearest even.
  static constexpr SoftExtended round(bool neg, U128 mag, int exp, bool sticky) {
    if (mag == 0) return special(Kind::zero, neg);
    const auto high = static_cast<std::uint64_t>(mag >> 64);
    const int top = high ? 127 - std::countl_zero(high)
                         : 63 - std::countl_zero(static_cast<std::uint64_t>(mag));
    int lsb = exp + top - 63;  // the result's last bit
    if (lsb < MIN_LSB) lsb = MIN_LSB;
    const int drop = lsb - exp;
    std::uint64_t m = 0;
    if (drop <= 0) {
      m = static_cast<std::uint64_t>(mag) << -drop;  // exact
    } else if (drop <= 128) {
      // Everything below the kept bits, against half of the last kept one.
      const U128 half = U128(1) << (drop - 1);
      const U128 rest = drop == 128 ? mag : mag & ((half << 1) - 1);
      m = drop == 128 ? 0 : static_cast<std::uint64_t>(mag >> drop);
      if (rest > half || (rest == half && (sticky || (m & 1)))) {
        if (++m == 0) {  // carried out of 64 bits
          m = TOP;
          lsb++;
        }
      }
    }  // further down everything rounds away to zero
    if (m == 0) return special(Kind::zero, neg);
    const int shift = std::countl_zero(m);  // nonzero only for a denormal
    if (lsb + 63 - shift > MAX_EXP) return special(Kind::inf, neg);
    SoftExtended r;
    r.kind_ = Kind::finite;
    r.neg_ = neg;
    r.mant_ = m << shift;
    r.exp_ = lsb - shift;
    return r;
  }

  static constexpr SoftExtended add(const SoftExtended& a, SoftExtended b, bool subtract) {
    if (a.is_nan() || b.is_nan()) return pass_nan(a, b);
    if (subtract) b.neg_ = !b.neg_;
    if (a.kind_ == Kind::inf || b.kind_ == Kind::inf) {
      if (a.kind_ == Kind::inf && b.kind_ == Kind::inf && a.neg_ != b.neg_) return default_nan();
      return a.kind_ == Kind::inf ? a : b;
    }
    if (a.kind_ == Kind::zero)
      return b.kind_ == Kind::zero ? special(Kind::zero, a.neg_ && b.neg_) : b;
    if (b.kind_ == Kind::zero) return a;
    // The larger exponent first; both aligned at 62 bits of headroom, the
    // smaller shifted right with what falls off kept as the sticky bit.
    const SoftExtended& x = a.exp_ >= b.exp_ ? a : b;
    const SoftExtended& y = a.exp_ >= b.exp_ ? b : a;
    const int diff = x.exp_ - y.exp_;
    U128 xm = U128(x.mant_) << 62, ym = U128(y.mant_) << 62;
    bool sticky = false;
    if (diff >= 127) {
      sticky = true;
      ym = 0;
    } else if (diff > 0) {
      sticky = (ym & ((U128(1) << diff) - 1)) != 0;
      ym >>= diff;
    }
    const int exp = x.exp_ - 62;
    if (x.neg_ == y.neg_) return round(x.neg_, xm + ym, exp, sticky);
    // A difference: a sticky remainder below ym means the true ym is a little
    // larger; borrow one unit and keep the sticky bit.
    if (xm > ym || (xm == ym && sticky))
      return round(x.neg_, xm - ym - (sticky ? 1 : 0), exp, sticky);
    if (xm == ym) return special(Kind::zero, false);
    return round(y.neg_, ym - xm, exp, false);  // only when diff == 0: exact
  }

  static constexpr Order compare(const SoftExtended& a, const SoftExtended& b) {
    if (a.is_nan() || b.is_nan()) return Order::unordered;
    if (a.kind_ == Kind::zero && b.kind_ == Kind::zero) return Order::equal;  // +0 == -0
    const bool na = a.neg_ && a.kind_ != Kind::zero, nb = b.neg_ && b.kind_ != Kind::zero;
    if (na != nb) return na ? Order::less : Order::greater;
    // The same sign: by kind, then exponent, then significand (all normalised).
    auto key = [](const SoftExtended& v) {
      return v.kind_ == Kind::finite ? U128(std::uint32_t(v.exp_ + 0x40000000)) << 64 | v.mant_
             : v.kind_ == Kind::inf  ? ~U128(0)
                                     : U128(0);
    };
    const U128 ka = key(a), kb = key(b);
    if (ka == kb) return Order::equal;
    return (ka < kb) != na ? Order::less : Order::greater;
  }

  constexpr void set_int(std::int64_t v) {
    neg_ = v < 0;
    const std::uint64_t mag =
        neg_ ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    *this = round(neg_, mag, 0, false);
  }
  constexpr void set_double(double v) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    const bool neg = bits >> 63;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    if (biased == 0x7FF) {
      *this = fraction ? from_x87(neg ? 0xFFFF : 0x7FFF, TOP | QUIET | fraction << 11)
                       : special(Kind::inf, neg);
    } else if (biased == 0) {  // zero or subnormal: both exact
      *this = fraction ? round(neg, fraction, -1074, false) : special(Kind::zero, neg);
    } else {
      *this = round(neg, fraction | (std::uint64_t(1) << 52), biased - 1075, false);
    }
  }
  // Round to nearest even to `bits` of significand, or to fewer for a
  // subnormal result; T is float or double, built from its bits.
  template <typename T, typename Bits, int bits, int bias>
  constexpr T to_binary() const {
    constexpr int width = sizeof(Bits) * 8;
    const Bits sign = neg_ ? Bits(1) << (width - 1) : 0;
    const Bits inf = Bits((2 * bias + 1)) << (bits - 1);
    if (kind_ == Kind::nan)
      return std::bit_cast<T>(Bits(sign | inf | Bits(((mant_ & ~TOP) | QUIET) >> (64 - bits))));
    if (kind_ == Kind::zero) return std::bit_cast<T>(sign);
    if (kind_ == Kind::inf) return std::bit_cast<T>(Bits(sign | inf));
    constexpr int min_lsb = 2 - bias - bits;  // a subnormal's last bit
    int lsb = exp_ + 64 - bits;
    if (lsb < min_lsb) lsb = min_lsb;
    const int drop = lsb - exp_;  // 11 or more
    std::uint64_t m = drop < 64 ? mant_ >> drop : 0;
    if (drop <= 64) {
      const std::uint64_t half = std::uint64_t(1) << (drop - 1);
      const std::uint64_t rest = drop == 64 ? mant_ : mant_ & ((half << 1) - 1);
      if (rest > half || (rest == half && (m & 1))) m++;
    }
    if (m >> bits) {  // carried into a new leading bit
      m >>= 1;
      lsb++;
    }
    // The exponent field counts from the subnormals' (0), the leading bit
    // adding one for a normal value, so a subnormal that rounds up to the
    // smallest normal needs nothing more.
    if (lsb + bits - 1 > bias) return std::bit_cast<T>(Bits(sign | inf));
    return std::bit_cast<T>(Bits(sign | ((Bits(lsb - min_lsb) << (bits - 1)) + Bits(m))));
  }
};
#endif

#if defined(__x86_64__) || defined(__i386__)
using Extended = long double;
#else
using Extended = SoftExtended;
#endif
