// Simple simple pictures, replaced entry by entry.
#include "art.h"
#include "font.h"
#include "noise.h"

namespace {
Picture noise_picture(int w, int h, std::uint32_t seed, Rgb lo, Rgb hi) {
  Picture p = picture_make(w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++)
      p.pixels[std::size_t(y) * w + x] =
          rgb_word(rgb_mix(lo, hi, noise_fractal(float(x), float(y), 32, 5, 0.5f, 256, seed)));
  return p;
}
}  // namespace

Picture texture_emblem() { return noise_picture(256, 256, 1, {0, 0, 0}, {1, 0.8f, 0.3f}); }
Picture texture_tile() { return noise_picture(256, 256, 2, {0, 0, 0.1f}, {0.2f, 0.2f, 0.5f}); }
Picture texture_checks() { return noise_picture(256, 256, 3, {0.1f, 0, 0.3f}, {0.9f, 0.4f, 0.1f}); }
Picture texture_panels() { return noise_picture(256, 256, 4, {0.1f, 0.1f, 0.1f}, {0.6f, 0.6f, 0.7f}); }
Picture texture_tracks() { return noise_picture(256, 256, 5, {0, 0.1f, 0}, {0.3f, 0.8f, 0.5f}); }
Picture texture_spare(int index) { return noise_picture(16, 16, 6 + std::uint32_t(index), {0, 0, 0}, {1, 1, 1}); }
Picture picture_planet() { return noise_picture(320, 240, 7, {0, 0, 0}, {0.2f, 0.1f, 0.3f}); }
Picture picture_relief() { return noise_picture(320, 240, 8, {0, 0, 0}, {1, 1, 1}); }
Picture texture_glass_view() { return noise_picture(256, 256, 9, {0.5f, 0, 0.5f}, {0, 1, 0.5f}); }
std::string_view art_closing_words() { return "QUILLION\nthanks for watching"; }
Mask art_closing_mask() {
  Mask m = mask_make(320, 240);
  text_block(m, {{"QUILLION", 56}, {"thanks for watching", 24}}, 160, 120);
  return m;
}
Picture picture_closing() {
  const Mask m = art_closing_mask();
  Picture p = noise_picture(320, 240, 10, {0, 0, 0}, {0.1f, 0.1f, 0.3f});
  for (std::size_t i = 0; i < p.pixels.size(); i++)
    if (m.pixels[i]) p.pixels[i] = 0xFFFFFF;
  return p;
}
Mask map_height() {
  Mask m = mask_make(256, 256);
  for (int y = 0; y < 256; y++)
    for (int x = 0; x < 256; x++)
      m.pixels[std::size_t(y) * 256 + x] =
          static_cast<std::uint8_t>(channel_byte(noise_fractal(float(x), float(y), 64, 6, 0.5f, 256, 11) * 0.6f));
  return m;
}
