// Texel lookups four pixels at a time: the index arithmetic runs on 16-byte
// words, the four loads stay independent so they are all in flight at once,
// and the texels are put back together for one store.
#pragma once
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace lookup {

// index = (v * 256 + u + shift) & 0xFFFF per lane, with 32-bit wrap-around.
inline __m128i index4(__m128i v, __m128i u, __m128i shift) {
  const __m128i sum = _mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(v, 8), u), shift);
  return _mm_and_si128(sum, _mm_set1_epi32(0xFFFF));
}
inline __m128i load4(const std::int32_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline __m128i load4(const std::uint32_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void store4(std::uint32_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// The texels at four indices below 65,536.
inline __m128i texels4(const std::uint32_t* texture, __m128i index) {
#if defined(__x86_64__)
  // Two indices per 64-bit move: fewer moves out of the vector than one each.
  const std::uint64_t lo = static_cast<std::uint64_t>(_mm_cvtsi128_si64(index));
  const std::uint64_t hi =
      static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(index, index)));
  const __m128i t0 = _mm_cvtsi32_si128(static_cast<int>(texture[lo & 0xFFFFu]));
  const __m128i t1 = _mm_cvtsi32_si128(static_cast<int>(texture[lo >> 32]));
  const __m128i t2 = _mm_cvtsi32_si128(static_cast<int>(texture[hi & 0xFFFFu]));
  const __m128i t3 = _mm_cvtsi32_si128(static_cast<int>(texture[hi >> 32]));
#else
  alignas(16) std::uint32_t at[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(at), index);
  const __m128i t0 = _mm_cvtsi32_si128(static_cast<int>(texture[at[0]]));
  const __m128i t1 = _mm_cvtsi32_si128(static_cast<int>(texture[at[1]]));
  const __m128i t2 = _mm_cvtsi32_si128(static_cast<int>(texture[at[2]]));
  const __m128i t3 = _mm_cvtsi32_si128(static_cast<int>(texture[at[3]]));
#endif
  return _mm_unpacklo_epi64(_mm_unpacklo_epi32(t0, t1), _mm_unpacklo_epi32(t2, t3));
}

}  // namespace lookup
#endif
