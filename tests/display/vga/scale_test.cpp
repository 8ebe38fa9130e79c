// The scaled copy both back ends use for screens larger than the picture.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "display/display_scale.h"

namespace {
TEST(ScaledPlace, LargestWholeFactorCentred) {
  struct Case {
    int w, h, scale, left, top;
  } cases[] = {{1920, 1080, 4, 320, 60}, {320, 240, 1, 0, 0},     {640, 480, 2, 0, 0},
               {700, 500, 2, 30, 10},    {3840, 2160, 9, 480, 0}, {319, 240, 0, 159, 120}};
  for (const Case& c : cases) {
    const ScaledPlace p = scaled_place(c.w, c.h, 320, 240);
    EXPECT_EQ((std::vector<int>{p.scale, p.left, p.top}),
              (std::vector<int>{c.scale, c.left, c.top}))
        << c.w << "x" << c.h;
  }
}

// Every source pixel becomes a scale x scale block of its own bytes, rows
// `pitch` apart, and nothing outside the scaled picture is written.
TEST(ScaledCopy, EachPixelBecomesABlockAndNothingElseIsTouched) {
  const int w = 13, h = 5;  // odd sizes: no loop may assume a multiple
  std::mt19937 rng(19);
  for (int bytes : {2, 3, 4})
    for (int scale : {1, 2, 3, 4, 5, 8}) {
      std::vector<unsigned char> src(static_cast<std::size_t>(w) * h * bytes);
      for (auto& b : src) b = static_cast<unsigned char>(rng());
      const int pitch = (w * scale + 3) * bytes;  // padded rows
      std::vector<unsigned char> dst(static_cast<std::size_t>(pitch) * (h * scale + 1), 0xEE);
      std::vector<unsigned char> line(static_cast<std::size_t>(w) * scale * bytes);
      scaled_copy(src.data(), w, h, bytes, dst.data(), pitch, scale, line.data());
      int wrong = 0;
      for (int y = 0; y < h * scale + 1; y++)
        for (int x = 0; x < pitch / bytes; x++) {
          const unsigned char* got = dst.data() + y * pitch + x * bytes;
          const bool inside = x < w * scale && y < h * scale;
          for (int b = 0; b < bytes; b++) {
            const unsigned char want =
                inside ? src[((y / scale) * w + x / scale) * bytes + b] : 0xEE;
            wrong += got[b] != want;
          }
        }
      EXPECT_EQ(wrong, 0) << bytes << " bytes, scale " << scale;
    }
}
}  // namespace
