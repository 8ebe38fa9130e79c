#include "display/display_vga_convert.h"

#include <cstring>

void convert_32(const std::uint32_t* src, unsigned char* dst, int count) {
  std::memcpy(dst, src, static_cast<std::size_t>(count) * 4);
}

// Four pixels make three whole words; the tail goes byte by byte.
void convert_24(const std::uint32_t* src, unsigned char* dst, int count) {
  int i = 0;
  for (; i + 4 <= count; i += 4, src += 4, dst += 12) {
    const std::uint32_t a = src[0] & 0xFFFFFF, b = src[1] & 0xFFFFFF, c = src[2] & 0xFFFFFF,
                        d = src[3] & 0xFFFFFF;
    const std::uint32_t w[3] = {a | (b << 24), (b >> 8) | (c << 16), (c >> 16) | (d << 8)};
    std::memcpy(dst, w, 12);  // little-endian: blue, green, red per pixel
  }
  for (; i < count; i++, src++, dst += 3) {
    dst[0] = static_cast<unsigned char>(*src);
    dst[1] = static_cast<unsigned char>(*src >> 8);
    dst[2] = static_cast<unsigned char>(*src >> 16);
  }
}

template <std::uint16_t (*Pack)(std::uint32_t)>
static void convert_16bit(const std::uint32_t* src, unsigned char* dst, int count) {
  for (int i = 0; i < count; i++) {
    const std::uint16_t p = Pack(src[i]);
    std::memcpy(dst + 2 * i, &p, 2);
  }
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
