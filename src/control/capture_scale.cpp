#include "control/capture_scale.h"

#include <algorithm>
#include <cstddef>

void capture_scale(std::span<const std::uint32_t> in, int width, int height, int n,
                   std::span<std::uint32_t> out) {
  const std::size_t w = static_cast<std::size_t>(width), out_w = w * static_cast<std::size_t>(n);
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); y++) {
    std::uint32_t* row = out.data() + y * n * out_w;
    const std::uint32_t* src = in.data() + y * w;
    for (std::size_t x = 0; x < w; x++) std::fill_n(row + x * n, n, src[x]);
    for (int k = 1; k < n; k++) std::copy_n(row, out_w, row + k * out_w);
  }
}
