// Channel arithmetic on whole words, written without branches so the frame
// loops vectorise: red and blue travel in two 16-bit lanes of one word, green
// in the low lane of another, so sums never carry into a neighbour.
#pragma once
#include <cstdint>

namespace channels {

constexpr std::uint32_t RB = 0x00FF00FFu;
constexpr std::uint32_t G = 0x0000FF00u;

// Lanes holding sums up to 0x3FF, clamped at 0xFF.
inline std::uint32_t clamp3(std::uint32_t lanes) {
  std::uint32_t over = (lanes >> 8) & 0x00030003u;
  over = (over | (over >> 1)) & 0x00010001u;
  return (lanes | ((over << 8) - over)) & RB;
}

// Per channel min(a + b + level, 255), level 0..255, clamped once.
inline std::uint32_t add3(std::uint32_t a, std::uint32_t b, std::uint32_t level) {
  const std::uint32_t rb = clamp3((a & RB) + (b & RB) + level * 0x00010001u);
  const std::uint32_t g = clamp3(((a & G) >> 8) + ((b & G) >> 8) + level);
  return rb | (g << 8);
}
// Levels above 255 saturate every channel exactly like 255 does.
inline std::uint32_t clamp_level(std::uint32_t level) { return level > 255 ? 255 : level; }
// The grey word of a level, for a byte-wise saturating add.
inline std::uint32_t grey(std::uint32_t level) { return clamp_level(level) * 0x00010101u; }

}  // namespace channels

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace channels {

// out[i] = per channel min(a[i] + b[i] + level, 255), b == nullptr counting as
// black; bits 24-31 become 0. Clamping once equals clamping after each
// addition (all terms are non-negative), so byte-wise saturating adds serve.
inline void sum_span(std::uint32_t* out, const std::uint32_t* a, const std::uint32_t* b,
                     std::uint32_t level, int n) {
  level = clamp_level(level);
  int i = 0;
#if defined(__SSE2__)
  const __m128i lift = _mm_set1_epi32(static_cast<int>(level * 0x00010101u));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  for (; i + 4 <= n; i += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    if (b) v = _mm_adds_epu8(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)));
    v = _mm_and_si128(_mm_adds_epu8(v, lift), colour);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
  }
#endif
  for (; i < n; i++) out[i] = add3(a[i], b ? b[i] : 0, level);
}

}  // namespace channels
