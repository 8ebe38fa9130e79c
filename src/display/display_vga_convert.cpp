#include "display/display_vga_convert.h"

#include <cstring>

void convert_32(const std::uint32_t* src, unsigned char* dst, int count) {
  std::memcpy(dst, src, static_cast<std::size_t>(count) * 4);
}

// Eight pixels make three 64-bit words; the tail goes byte by byte.
void convert_24(const std::uint32_t* src, unsigned char* dst, int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8, src += 8, dst += 24) {
    std::uint64_t p[8];
    for (int k = 0; k < 8; k++) p[k] = src[k] & 0xFFFFFF;
    const std::uint64_t w0 = p[0] | (p[1] << 24) | (p[2] << 48);
    const std::uint64_t w1 = (p[2] >> 16) | (p[3] << 8) | (p[4] << 32) | (p[5] << 56);
    const std::uint64_t w2 = (p[5] >> 8) | (p[6] << 16) | (p[7] << 40);
    std::memcpy(dst, &w0, 8);  // little-endian: blue, green, red per pixel
    std::memcpy(dst + 8, &w1, 8);
    std::memcpy(dst + 16, &w2, 8);
  }
  for (; i < count; i++, src++, dst += 3) {
    dst[0] = static_cast<unsigned char>(*src);
    dst[1] = static_cast<unsigned char>(*src >> 8);
    dst[2] = static_cast<unsigned char>(*src >> 16);
  }
}

// Pixel memory is at least 2-byte aligned; a plain loop over 16-bit words
// is what the compiler vectorises.
template <std::uint16_t (*Pack)(std::uint32_t)>
static void convert_16bit(const std::uint32_t* src, unsigned char* dst, int count) {
  std::uint16_t* out = reinterpret_cast<std::uint16_t*>(dst);
  for (int i = 0; i < count; i++) out[i] = Pack(src[i]);
}

void convert_16(const std::uint32_t* src, unsigned char* dst, int count) {
  convert_16bit<pixel_16>(src, dst, count);
}
void convert_15(const std::uint32_t* src, unsigned char* dst, int count) {
  convert_16bit<pixel_15>(src, dst, count);
}

PixelConverter converter_for_depth(int depth) {
  switch (depth) {
    case 32: return convert_32;
    case 24: return convert_24;
    case 16: return convert_16;
    case 15: return convert_15;
    default: return nullptr;
  }
}
