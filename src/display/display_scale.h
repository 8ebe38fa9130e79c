// The scaled copy of the screens larger than the picture: every source pixel
// becomes a scale x scale block of the same colour, the picture centred by
// the largest whole factor that fits. Each source row is widened once into a
// line buffer that is then copied scale times, so the screen's memory is
// only written, never read back (a framebuffer is slow to read), and no
// division is made per pixel.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstring>

// Where a width x height picture sits on a screen: the factor and the
// offset of its top-left corner. scale is 0 when the picture does not fit.
struct ScaledPlace {
  int scale, left, top;
};

constexpr ScaledPlace scaled_place(int screen_width, int screen_height, int width, int height) {
  const int scale = std::max(0, std::min(screen_width / width, screen_height / height));
  return {scale, (screen_width - width * scale) / 2, (screen_height - height * scale) / 2};
}

namespace scale_detail {
// One source row, each pixel `scale` times side by side. Three-byte pixels
// are stored four bytes at a time, each store's last byte rewritten by the
// next (one store instead of two); only the row's last copy is stored in
// three, so nothing is written past the line.
template <int Bytes>
inline void widen_pixel(const unsigned char* src, unsigned char*& out, int scale) {
  if constexpr (Bytes == 3) {
    const unsigned char pixel[4] = {src[0], src[1], src[2], 0};
    for (int k = 0; k < scale; k++, out += Bytes) std::memcpy(out, pixel, 4);
  } else {
    for (int k = 0; k < scale; k++, out += Bytes) std::memcpy(out, src, Bytes);
  }
}
template <int Bytes>
inline void widen_row(const unsigned char* src, unsigned char* out, int width, int scale) {
  for (int x = 0; x < width - 1; x++, src += Bytes) widen_pixel<Bytes>(src, out, scale);
  for (int k = 0; k < scale; k++, out += Bytes) std::memcpy(out, src, Bytes);
}
// The same with the factor a constant, so the inner loop unrolls.
template <int Bytes, int Scale>
inline void widen_row(const unsigned char* src, unsigned char* out, int width) {
  widen_row<Bytes>(src, out, width, Scale);
}

template <int Bytes>
void copy(const unsigned char* src, int width, int height, unsigned char* dst, std::ptrdiff_t pitch,
          int scale, unsigned char* line) {
  const std::size_t row_bytes = static_cast<std::size_t>(width) * Bytes;
  const std::size_t line_bytes = row_bytes * static_cast<std::size_t>(scale);
  for (int y = 0; y < height; y++, src += row_bytes) {
    if (scale == 1) {
      std::memcpy(dst, src, row_bytes);
      dst += pitch;
      continue;
    }
    switch (scale) {
      case 2:
        widen_row<Bytes, 2>(src, line, width);
        break;
      case 3:
        widen_row<Bytes, 3>(src, line, width);
        break;
      case 4:
        widen_row<Bytes, 4>(src, line, width);
        break;
      default:
        widen_row<Bytes>(src, line, width, scale);
    }
    for (int k = 0; k < scale; k++, dst += pitch) std::memcpy(dst, line, line_bytes);
  }
}
}  // namespace scale_detail

// Copies a width x height picture of 2-, 3- or 4-byte pixels (rows packed)
// scale times as large to dst, the top-left of the scaled picture, whose rows
// are `pitch` bytes apart. `line` holds width * scale pixels.
inline void scaled_copy(const unsigned char* src, int width, int height, int bytes,
                        unsigned char* dst, std::ptrdiff_t pitch, int scale, unsigned char* line) {
  switch (bytes) {
    case 2:
      return scale_detail::copy<2>(src, width, height, dst, pitch, scale, line);
    case 3:
      return scale_detail::copy<3>(src, width, height, dst, pitch, scale, line);
    default:
      return scale_detail::copy<4>(src, width, height, dst, pitch, scale, line);
  }
}
