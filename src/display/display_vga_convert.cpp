#include "display/display_vga_convert.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QN_CONVERT_VECTORS 1
#endif

// The screen's words are little-endian whatever the processor's order: a
// big-endian machine stores them byte by byte.
constexpr bool BIG_ENDIAN_HOST = std::endian::native == std::endian::big;

void convert_32(const std::uint32_t* src, unsigned char* dst, int count) {
  if constexpr (!BIG_ENDIAN_HOST) {
    std::memcpy(dst, src, static_cast<std::size_t>(count) * 4);
  } else {
    for (int i = 0; i < count; i++, dst += 4)
      for (int k = 0; k < 4; k++) dst[k] = static_cast<unsigned char>(src[i] >> (8 * k));
  }
}

namespace {

void store_le64(unsigned char* dst, std::uint64_t w) {
  if constexpr (BIG_ENDIAN_HOST) w = __builtin_bswap64(w);
  std::memcpy(dst, &w, 8);
}

// Eight pixels make three 64-bit words; the tail goes byte by byte.
void convert_24_words(const std::uint32_t* src, unsigned char* dst, int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8, src += 8, dst += 24) {
    std::uint64_t p[8];
    for (int k = 0; k < 8; k++) p[k] = src[k] & 0xFFFFFF;
    const std::uint64_t w0 = p[0] | (p[1] << 24) | (p[2] << 48);
    const std::uint64_t w1 = (p[2] >> 16) | (p[3] << 8) | (p[4] << 32) | (p[5] << 56);
    const std::uint64_t w2 = (p[5] >> 8) | (p[6] << 16) | (p[7] << 40);
    store_le64(dst, w0);  // blue, green, red per pixel
    store_le64(dst + 8, w1);
    store_le64(dst + 16, w2);
  }
  for (; i < count; i++, src++, dst += 3) {
    dst[0] = static_cast<unsigned char>(*src);
    dst[1] = static_cast<unsigned char>(*src >> 8);
    dst[2] = static_cast<unsigned char>(*src >> 16);
  }
}

#if QN_CONVERT_VECTORS
// The wider instruction sets are used only where the processor has them.
const bool has_ssse3 = __builtin_cpu_supports("ssse3");
const bool has_avx2 = __builtin_cpu_supports("avx2");

// Sixteen pixels in four words of 16 bytes: each squeezed to its 12 colour
// bytes by a byte shuffle, then laid end to end in three stores.
__attribute__((target("ssse3"))) void convert_24_shuffle(const std::uint32_t* src,
                                                         unsigned char* dst, int count) {
  const __m128i squeeze = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  int i = 0;
  for (; i + 16 <= count; i += 16, src += 16, dst += 48) {
    const __m128i* in = reinterpret_cast<const __m128i*>(src);
    const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(in), squeeze);
    const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), squeeze);
    const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), squeeze);
    const __m128i d = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), squeeze);
    __m128i* out = reinterpret_cast<__m128i*>(dst);
    _mm_storeu_si128(out, _mm_or_si128(a, _mm_slli_si128(b, 12)));
    _mm_storeu_si128(out + 1, _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
    _mm_storeu_si128(out + 2, _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
  }
  convert_24_words(src, dst, count - i);
}

// Pixels to 16-bit words, four or eight at a time: one multiply-add of the
// masked red and blue bytes (red by red_weight, blue by 1) puts both in
// place three bits up, green is shifted in, and the words are packed after
// sign extension, since the packs saturate signed.
template <int green_mask, int green_shift, int red_weight, int red_blue_mask>
inline __m128i pack_four(__m128i s) {
  const __m128i rb = _mm_and_si128(s, _mm_set1_epi32(red_blue_mask));
  const __m128i placed =
      _mm_srli_epi32(_mm_madd_epi16(rb, _mm_set1_epi32(red_weight << 16 | 1)), 3);
  const __m128i g = _mm_srli_epi32(_mm_and_si128(s, _mm_set1_epi32(green_mask)), green_shift);
  return _mm_srai_epi32(_mm_slli_epi32(_mm_or_si128(placed, g), 16), 16);
}
template <int green_mask, int green_shift, int red_weight, int red_blue_mask>
__attribute__((target("avx2"))) inline __m256i pack_eight(__m256i s) {
  const __m256i rb = _mm256_and_si256(s, _mm256_set1_epi32(red_blue_mask));
  const __m256i placed =
      _mm256_srli_epi32(_mm256_madd_epi16(rb, _mm256_set1_epi32(red_weight << 16 | 1)), 3);
  const __m256i g =
      _mm256_srli_epi32(_mm256_and_si256(s, _mm256_set1_epi32(green_mask)), green_shift);
  return _mm256_srai_epi32(_mm256_slli_epi32(_mm256_or_si256(placed, g), 16), 16);
}
// Whole blocks of 16 pixels; returns how many were done. The pack works
// within each 16-byte half, so the 64-bit quarters are put back in order.
template <int green_mask, int green_shift, int red_weight, int red_blue_mask>
__attribute__((target("avx2"))) int convert_16bit_wide(const std::uint32_t* src, unsigned char* dst,
                                                       int count) {
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i* in = reinterpret_cast<const __m256i*>(src + i);
    const __m256i lo =
        pack_eight<green_mask, green_shift, red_weight, red_blue_mask>(_mm256_loadu_si256(in));
    const __m256i hi =
        pack_eight<green_mask, green_shift, red_weight, red_blue_mask>(_mm256_loadu_si256(in + 1));
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 2 * i), words);
  }
  return i;
}
#endif

// Pixel memory is at least 2-byte aligned; stores are unaligned all the same.
template <std::uint16_t (*Pack)(std::uint32_t), int green_mask, int green_shift, int red_weight,
          int red_blue_mask>
void convert_16bit(const std::uint32_t* src, unsigned char* dst, int count) {
  int i = 0;
#if QN_CONVERT_VECTORS
  if (has_avx2)
    i = convert_16bit_wide<green_mask, green_shift, red_weight, red_blue_mask>(src, dst, count);
  for (; i + 8 <= count; i += 8) {
    const __m128i* in = reinterpret_cast<const __m128i*>(src + i);
    const __m128i lo =
        pack_four<green_mask, green_shift, red_weight, red_blue_mask>(_mm_loadu_si128(in));
    const __m128i hi =
        pack_four<green_mask, green_shift, red_weight, red_blue_mask>(_mm_loadu_si128(in + 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 2 * i), _mm_packs_epi32(lo, hi));
  }
#endif
  for (; i < count; i++) {
    const std::uint16_t p = Pack(src[i]);
    dst[2 * i] = static_cast<unsigned char>(p);
    dst[2 * i + 1] = static_cast<unsigned char>(p >> 8);
  }
}

}  // namespace

void convert_24(const std::uint32_t* src, unsigned char* dst, int count) {
#if QN_CONVERT_VECTORS
  if (has_ssse3) return convert_24_shuffle(src, dst, count);
#endif
  convert_24_words(src, dst, count);
}

// 5-6-5: (red & 0xF8) * 2048 + (blue & 0xF8), shifted down 3, puts red in
// bits 11-15 and blue in bits 0-4; green's top six bits go to bits 5-10.
void convert_16(const std::uint32_t* src, unsigned char* dst, int count) {
  convert_16bit<pixel_16, 0xFC00, 5, 2048, 0x00F800F8>(src, dst, count);
}
// 5-5-5: the same with bit 24 riding above red into bit 15.
void convert_15(const std::uint32_t* src, unsigned char* dst, int count) {
  convert_16bit<pixel_15, 0xF800, 6, 1024, 0x01F800F8>(src, dst, count);
}

PixelConverter converter_for_depth(int depth) {
  switch (depth) {
    case 32:
      return convert_32;
    case 24:
      return convert_24;
    case 16:
      return convert_16;
    case 15:
      return convert_15;
    default:
      return nullptr;
  }
}
