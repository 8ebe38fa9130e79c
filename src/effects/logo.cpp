// The opening title: three displaced colour copies of a text mask, mixed
// additively so overlaps turn yellow, magenta, cyan or white.
#include <cstdint>
#include <cstring>

#include "common/frame.h"
#include "effects/effects.h"

namespace {

// Only the mask's rows 30..189 take part; every offset stays within +-963
// pixels, so all destinations lie inside the frame.
constexpr int LOGO_FIRST = 30 * FRAME_WIDTH;
constexpr int LOGO_PIXELS = 160 * FRAME_WIDTH;

// Where the byte marks text, the destination word (offset linearly) becomes
// `colour`, or gains it with 32-bit wrap-around when `add` is set.
template <bool add>
void logo_copy(std::uint32_t* __restrict layer, const std::uint8_t* __restrict mask,
               std::int32_t offset, std::uint32_t colour) {
  std::uint32_t* __restrict out = layer + LOGO_FIRST + offset;
  const std::uint8_t* __restrict in = mask + LOGO_FIRST;
  for (int i = 0; i < LOGO_PIXELS; i++) {
    const std::uint32_t value = add ? out[i] + colour : colour;
    out[i] = in[i] > 10 ? value : out[i];
  }
}

// Keeps the offsets inside the frame whatever the table holds.
std::int32_t clamp_offset(std::int32_t offset) {
  return offset < -LOGO_FIRST ? -LOGO_FIRST : offset > LOGO_FIRST ? LOGO_FIRST : offset;
}

}  // namespace

void rgb_split_logo(std::uint32_t* layer, std::uint32_t* dest, const std::uint8_t* mask,
                    const LogoOffsets& offsets, int j) {
  j = j < 0 ? 0 : j > 9 ? 9 : j;
  const std::int32_t rows = offsets.rows[j], cols = offsets.cols[j];
  std::memset(layer, 0, FRAME_BYTES);
  logo_copy<false>(layer, mask, clamp_offset(rows + cols), 0xFFFF0000u);
  logo_copy<true>(layer, mask, clamp_offset(rows - cols), 0xFF00FF00u);
  logo_copy<true>(layer, mask, clamp_offset(-rows - cols), 0xFF0000FFu);
  overlay_nonzero(dest, layer);
}
