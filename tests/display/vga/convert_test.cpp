// The console pixel converters against a per-pixel reference, read as the
// screen's little-endian bytes on every machine.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "display/display_vga_convert.h"

namespace {
std::vector<std::uint32_t> random_frame() {
  std::mt19937 rng(7);
  std::vector<std::uint32_t> f(76800);
  for (auto& w : f) w = rng();
  return f;
}
std::uint32_t screen_word(const unsigned char* p, int bytes) {
  std::uint32_t w = 0;
  for (int k = 0; k < bytes; k++) w |= std::uint32_t(p[k]) << (8 * k);
  return w;
}

TEST(Convert, KnownColours) {
  EXPECT_EQ(pixel_16(0x00FFFFFF), 0xFFFF);
  EXPECT_EQ(pixel_16(0x00123456), 0x11AA);
  EXPECT_EQ(pixel_15(0x00123456), 0x08CA);
  EXPECT_EQ(pixel_15(0x01000000), 0x8000);  // bit 24 into the bit the mode ignores
  EXPECT_EQ(pixel_16(0xFF000000), 0x0000);  // the mark never shows
  EXPECT_EQ(pixel_16(0x00070307), 0x0000);  // truncation, no rounding
}

TEST(Convert, WholeFramesEqualThePerPixelRule) {
  const std::vector<std::uint32_t> src = random_frame();
  std::vector<unsigned char> out(76800 * 4 + 16, 0xEE);
  for (int depth : {32, 24, 16, 15}) {
    SCOPED_TRACE(depth);
    std::fill(out.begin(), out.end(), 0xEE);
    converter_for_depth(depth)(src.data(), out.data(), 76800);
    const int bytes = depth == 32 ? 4 : depth == 24 ? 3 : 2;
    for (int i = 0; i < 76800; i++) {
      const std::uint32_t s = src[i];
      const unsigned char* p = out.data() + i * bytes;
      const std::uint32_t got = screen_word(p, bytes);
      const std::uint32_t want = depth == 32   ? s
                                 : depth == 24 ? (s & 0xFFFFFF)
                                 : depth == 16 ? pixel_16(s)
                                               : pixel_15(s);
      ASSERT_EQ(got, want) << "pixel " << i;
    }
    EXPECT_EQ(out[76800 * bytes], 0xEE) << "wrote past the picture";
  }
  EXPECT_EQ(converter_for_depth(8), nullptr);
}
// The converters work in blocks of 8 or 16 pixels with a per-pixel tail:
// every short count and every start offset must give the same pixels and
// write nothing past the last one.
TEST(Convert, ShortRunsAndOffsetsMatchTheRule) {
  const std::vector<std::uint32_t> src = random_frame();
  for (int depth : {24, 16, 15}) {
    const int bytes = depth == 24 ? 3 : 2;
    for (int count = 0; count <= 40; count++)
      for (int offset : {0, 1, 2, 7}) {
        SCOPED_TRACE(testing::Message() << depth << " bits, " << count << " pixels at " << offset);
        std::vector<unsigned char> out(40 * 3 + 16, 0xEE);
        converter_for_depth(depth)(src.data() + offset, out.data() + 2 * offset, count);
        for (int i = 0; i < count; i++) {
          const std::uint32_t s = src[offset + i];
          const std::uint32_t got = screen_word(out.data() + 2 * offset + i * bytes, bytes);
          ASSERT_EQ(got, depth == 24   ? (s & 0xFFFFFF)
                         : depth == 16 ? pixel_16(s)
                                       : pixel_15(s))
              << "pixel " << i;
        }
        for (std::size_t k = 2 * offset + count * bytes; k < out.size(); k++)
          ASSERT_EQ(out[k], 0xEE) << "byte " << k;
      }
  }
}
}  // namespace
