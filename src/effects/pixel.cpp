// Whole-frame pixel operations: the white lift, text stamping and overlays.
#include <cstdint>

#include "common/frame.h"
#include "effects/channels.h"
#include "effects/effects.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void brighten(std::uint32_t* frame, std::uint32_t level) {
  channels::sum_span(frame, frame, nullptr, level, FRAME_PIXELS);
}

void stamp_mask(std::uint32_t* __restrict dest, const std::uint8_t* __restrict mask) {
  int i = 0;
#if defined(__SSE2__)
  // Sixteen mask bytes widened to sixteen word masks; a text word is the
  // destination ORed with all ones.
  const __m128i limit = _mm_set1_epi8(11);
  for (; i + 16 <= FRAME_PIXELS; i += 16) {
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    const __m128i text = _mm_cmpeq_epi8(_mm_max_epu8(m, limit), m);  // m >= 11
    const __m128i lo = _mm_unpacklo_epi8(text, text), hi = _mm_unpackhi_epi8(text, text);
    const __m128i words[4] = {_mm_unpacklo_epi16(lo, lo), _mm_unpackhi_epi16(lo, lo),
                              _mm_unpacklo_epi16(hi, hi), _mm_unpackhi_epi16(hi, hi)};
    __m128i* out = reinterpret_cast<__m128i*>(dest + i);
    for (int k = 0; k < 4; k++)
      _mm_storeu_si128(out + k, _mm_or_si128(_mm_loadu_si128(out + k), words[k]));
  }
#endif
  for (; i < FRAME_PIXELS; i++) dest[i] = mask[i] > 10 ? 0xFFFFFFFFu : dest[i];
}

// The overlays are written as masks rather than choices: every compiler here
// turns the masks into vector code, the choice only some of them.
void overlay_white(std::uint32_t* __restrict dest, const std::uint32_t* __restrict overlay) {
  for (int i = 0; i < FRAME_PIXELS; i++) dest[i] |= overlay[i] == 0xFFFFFFFFu ? ~0u : 0u;
}

void overlay_nonzero(std::uint32_t* __restrict dest, const std::uint32_t* __restrict overlay) {
  for (int i = 0; i < FRAME_PIXELS; i++) {
    const std::uint32_t keep = overlay[i] == 0 ? ~0u : 0u;
    dest[i] = overlay[i] | (dest[i] & keep);
  }
}
