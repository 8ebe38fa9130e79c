// The console's pixel converters: 0x00RRGGBB words to the mode's pixels,
// written one after the other with no gap between rows. Lower colour bits are
// dropped (no rounding, no dithering).
#pragma once
#include <cstdint>

using PixelConverter = void (*)(const std::uint32_t* src, unsigned char* dst, int count);

void convert_32(const std::uint32_t* src, unsigned char* dst, int count);  // block copy
void convert_24(const std::uint32_t* src, unsigned char* dst, int count);  // blue, green, red
void convert_16(const std::uint32_t* src, unsigned char* dst, int count);  // 5-6-5
void convert_15(const std::uint32_t* src, unsigned char* dst,
                int count);  // 5-5-5, bit 24 into bit 15

// The converter for a depth of 32, 24, 16 or 15 bits; nullptr for any other.
PixelConverter converter_for_depth(int depth);

constexpr std::uint16_t pixel_16(std::uint32_t s) {
  return static_cast<std::uint16_t>(((s >> 8) & 0xF800) | ((s >> 5) & 0x07E0) |
                                    ((s >> 3) & 0x001F));
}
constexpr std::uint16_t pixel_15(std::uint32_t s) {
  return static_cast<std::uint16_t>(((s >> 9) & 0x8000) | ((s >> 9) & 0x7C00) |
                                    ((s >> 6) & 0x03E0) | ((s >> 3) & 0x001F));
}
