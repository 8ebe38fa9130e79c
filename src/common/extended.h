// Extended precision as the x87 has it: a 64-bit significand, every result
// rounded to nearest even. The tables, vector lengths and centroids are
// defined in it, and their values must be the same on every machine. On x86
// that is long double itself; elsewhere long double is another format (IEEE
// quad on arm64 and s390x), so SoftExtended models the x87 format exactly
// for the few operations used: + - * /, sqrt, comparisons and the
// conversions from and to int, float and double. Values stay normal here;
// there is no subnormal model.
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

  // mant * 2^exp, rounded to 64 bits; and a finite value's own fields.
  static constexpr SoftExtended from_parts(bool neg, std::uint64_t mant, int exp) {
    return round(neg, mant, exp, false);
  }
  struct Parts {
    bool neg;
    std::uint64_t mant;
    int exp;
  };
  constexpr Parts parts() const { return {neg_, mant_, exp_}; }
  constexpr bool is_finite() const { return kind_ == Kind::finite; }

  friend constexpr SoftExtended operator-(SoftExtended a) {
    a.neg_ = !a.neg_;
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
    if (a.is_nan() || b.is_nan()) return nan();
    if (a.kind_ == Kind::inf || b.kind_ == Kind::inf)
      return (a.kind_ == Kind::zero || b.kind_ == Kind::zero) ? nan() : special(Kind::inf, neg);
    if (a.kind_ == Kind::zero || b.kind_ == Kind::zero) return special(Kind::zero, neg);
    return round(neg, U128(a.mant_) * b.mant_, a.exp_ + b.exp_, false);
  }
  friend constexpr SoftExtended operator/(const SoftExtended& a, const SoftExtended& b) {
    const bool neg = a.neg_ != b.neg_;
    if (a.is_nan() || b.is_nan()) return nan();
    if (a.kind_ == Kind::inf) return b.kind_ == Kind::inf ? nan() : special(Kind::inf, neg);
    if (b.kind_ == Kind::inf) return special(Kind::zero, neg);
    if (b.kind_ == Kind::zero) return a.kind_ == Kind::zero ? nan() : special(Kind::inf, neg);
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
    if (a.is_nan() || (a.neg_ && a.kind_ != Kind::zero)) return nan();
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

  friend constexpr bool operator<(const SoftExtended& a, const SoftExtended& b) {
    return compare(a, b) < 0;
  }
  friend constexpr bool operator>(const SoftExtended& a, const SoftExtended& b) {
    return compare(a, b) > 0;
  }
  friend constexpr bool operator==(const SoftExtended& a, const SoftExtended& b) {
    return compare(a, b) == 0;
  }
  constexpr bool is_nan() const { return kind_ == Kind::nan; }

 private:
  using U128 = unsigned __int128;
  enum class Kind : std::uint8_t { zero, finite, inf, nan };
  std::uint64_t mant_ = 0;  // top bit set when finite
  std::int32_t exp_ = 0;    // value = mant * 2^exp
  bool neg_ = false;
  Kind kind_ = Kind::zero;

  static constexpr SoftExtended special(Kind k, bool neg) {
    SoftExtended r;
    r.kind_ = k;
    r.neg_ = neg;
    return r;
  }
  static constexpr SoftExtended nan() { return special(Kind::nan, false); }

  // Rounds mag * 2^exp (+ a sticky fraction below mag's last bit) to 64 bits.
  static constexpr SoftExtended round(bool neg, U128 mag, int exp, bool sticky) {
    if (mag == 0) return special(Kind::zero, neg);
    const auto high = static_cast<std::uint64_t>(mag >> 64);
    int top = high ? 127 - std::countl_zero(high)
                   : 63 - std::countl_zero(static_cast<std::uint64_t>(mag));
    if (top < 63) {  // short: exact after a left shift
      mag <<= 63 - top;
      exp -= 63 - top;
      top = 63;
    }
    const int drop = top - 63;
    std::uint64_t m = static_cast<std::uint64_t>(mag >> drop);
    if (drop > 0) {
      const U128 half = U128(1) << (drop - 1);
      const U128 rest = mag & ((U128(1) << drop) - 1);
      if (rest > half || (rest == half && (sticky || (m & 1)))) {
        if (++m == 0) {  // carried out of 64 bits
          m = std::uint64_t(1) << 63;
          exp++;
        }
      }
    }
    SoftExtended r;
    r.kind_ = Kind::finite;
    r.neg_ = neg;
    r.mant_ = m;
    r.exp_ = exp + drop;
    return r;
  }

  static constexpr SoftExtended add(const SoftExtended& a, SoftExtended b, bool subtract) {
    if (subtract) b.neg_ = !b.neg_;
    if (a.is_nan() || b.is_nan()) return nan();
    if (a.kind_ == Kind::inf || b.kind_ == Kind::inf) {
      if (a.kind_ == Kind::inf && b.kind_ == Kind::inf && a.neg_ != b.neg_) return nan();
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

  static constexpr int compare(const SoftExtended& a, const SoftExtended& b) {
    if (a.is_nan() || b.is_nan()) return 2;  // unordered: neither <, > nor ==
    if (a.kind_ == Kind::inf && b.kind_ == Kind::inf && a.neg_ == b.neg_) return 0;
    const SoftExtended d = a - b;
    if (d.kind_ == Kind::zero) return 0;
    return d.neg_ ? -1 : 1;
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
      *this = fraction ? nan() : special(Kind::inf, neg);
    } else if (biased == 0) {  // zero or subnormal: both exact
      *this = fraction ? round(neg, fraction, -1074, false) : special(Kind::zero, neg);
    } else {
      *this = round(neg, fraction | (std::uint64_t(1) << 52), biased - 1075, false);
    }
  }
  // Round to nearest even to `bits` of significand; T is float or double,
  // built from its bits. Results stay normal (see above).
  template <typename T, typename Bits, int bits, int bias>
  constexpr T to_binary() const {
    constexpr int width = sizeof(Bits) * 8;
    const Bits sign = neg_ ? Bits(1) << (width - 1) : 0;
    const Bits inf = Bits((2 * bias + 1)) << (bits - 1);
    if (kind_ == Kind::nan) return std::numeric_limits<T>::quiet_NaN();
    if (kind_ == Kind::zero) return std::bit_cast<T>(sign);
    if (kind_ == Kind::inf) return std::bit_cast<T>(Bits(sign | inf));
    const int drop = 64 - bits;
    std::uint64_t m = mant_ >> drop;
    const std::uint64_t rest = mant_ & ((std::uint64_t(1) << drop) - 1), half = std::uint64_t(1)
                                                                                << (drop - 1);
    int e = exp_ + drop + bits - 1;  // the exponent of the leading bit
    if (rest > half || (rest == half && (m & 1))) {
      if (++m >> bits) {
        m >>= 1;
        e++;
      }
    }
    if (e > bias) return std::bit_cast<T>(Bits(sign | inf));
    if (e < 1 - bias) return std::bit_cast<T>(sign);  // no subnormals here
    const Bits field = Bits(e + bias) << (bits - 1);
    return std::bit_cast<T>(Bits(sign | field | Bits(m & ((std::uint64_t(1) << (bits - 1)) - 1))));
  }
};
#endif

#if defined(__x86_64__) || defined(__i386__)
using Extended = long double;
#else
using Extended = SoftExtended;
#endif
