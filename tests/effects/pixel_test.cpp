// Pixel operations against per-channel arithmetic written out plainly.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "../tables/test_archive.h"
#include "effects/channels.h"
#include "effects/effects.h"

namespace {

using Frame = std::vector<std::uint32_t>;

std::uint32_t naive_sum(std::uint32_t a, std::uint32_t b, std::uint32_t level) {
  std::uint32_t out = 0;
  for (int shift : {0, 8, 16}) out |= std::min<std::uint32_t>(((a >> shift) & 255) + ((b >> shift) & 255) + level, 255) << shift;
  return out;
}

Frame random_frame(std::uint32_t seed) {
  std::mt19937 rng(seed);
  Frame f(FRAME_PIXELS);
  for (auto& w : f) w = rng();
  return f;
}

TEST(PixelOps, SaturatingSumsClampEachChannelWithoutCarries) {
  std::mt19937 rng(7);
  for (int n = 0; n < 200000; n++) {
    const std::uint32_t a = rng(), b = rng(), level = rng() & 255;
    ASSERT_EQ(add_saturate(a, b), naive_sum(a, b, 0));
    ASSERT_EQ(channels::add2(a, b), naive_sum(a, b, 0));
    ASSERT_EQ(add_saturate3(a, b, level), naive_sum(a, b, level));
    ASSERT_EQ(channels::add3(a, b, level), naive_sum(a, b, level));
  }
  EXPECT_EQ(channels::add2(0x00FF01FEu, 0x00010101u), 0x00FF02FFu);
  EXPECT_EQ(channels::add3(0xFFFFFFFFu, 0xFFFFFFFFu, 255), 0x00FFFFFFu);
}

TEST(PixelOps, BrightenLiftsEveryChannelAndClearsTheMark) {
  for (std::uint32_t level : {0u, 1u, 100u, 254u, 255u, 300u}) {
    Frame f = random_frame(level), want(FRAME_PIXELS);
    for (int i = 0; i < FRAME_PIXELS; i++) want[i] = naive_sum(f[i], 0, std::min(level, 255u));
    brighten(f.data(), level);
    ASSERT_EQ(f, want) << level;
  }
  Frame f(FRAME_PIXELS, 0xFF123456u);
  brighten(f.data(), 0);
  EXPECT_EQ(f, Frame(FRAME_PIXELS, 0x00123456u));
  brighten(f.data(), 255);
  EXPECT_EQ(f, Frame(FRAME_PIXELS, 0x00FFFFFFu));
}

TEST(PixelOps, StampAndOverlaysCopyOnlyMarkedWords) {
  const Frame base = random_frame(1);
  Frame f = base;
  std::vector<std::uint8_t> mask(FRAME_PIXELS, 10);
  stamp_mask(f.data(), mask.data());
  EXPECT_EQ(f, base);
  std::fill(mask.begin(), mask.end(), 11);
  stamp_mask(f.data(), mask.data());
  EXPECT_EQ(f, Frame(FRAME_PIXELS, 0xFFFFFFFFu));

  Frame over = random_frame(2);
  for (int i = 0; i < FRAME_PIXELS; i++) over[i] = i % 3 == 0 ? 0 : i % 3 == 1 ? 0xFFFFFFFFu : over[i];
  Frame white = base, nonzero = base;
  overlay_white(white.data(), over.data());
  overlay_nonzero(nonzero.data(), over.data());
  for (int i = 0; i < FRAME_PIXELS; i++) {
    ASSERT_EQ(white[i], i % 3 == 1 ? 0xFFFFFFFFu : base[i]);
    ASSERT_EQ(nonzero[i], i % 3 == 0 ? base[i] : over[i]);
  }
}

// The logo exactly as described: three linear copies of rows 30..189.
Frame naive_logo(const Frame& under, const std::vector<std::uint8_t>& mask, int j) {
  Frame layer(FRAME_PIXELS, 0);
  const int rows = logo_row_offsets[j], cols = logo_col_offsets[j];
  const int offsets[3] = {rows + cols, rows - cols, -rows - cols};
  const std::uint32_t colours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
  for (int c = 0; c < 3; c++)
    for (int i = 9600; i < 60800; i++)
      if (mask[i] > 10) layer[i + offsets[c]] = c == 0 ? colours[c] : layer[i + offsets[c]] + colours[c];
  Frame out = under;
  for (int i = 0; i < FRAME_PIXELS; i++) out[i] = layer[i] ? layer[i] : out[i];
  return out;
}

TEST(PixelOps, SplitLogoCopiesMixAdditively) {
  test_tables_ready();
  std::mt19937 rng(3);
  std::vector<std::uint8_t> mask(FRAME_PIXELS);
  for (auto& m : mask) m = rng() % 3 ? 0 : 11 + rng() % 200;
  const Frame under = random_frame(4);
  Frame layer(FRAME_PIXELS), dest(FRAME_PIXELS);
  for (int j = 0; j < 10; j++) {
    dest = under;
    rgb_split_logo(layer.data(), dest.data(), mask.data(), j);
    ASSERT_EQ(dest, naive_logo(under, mask, j)) << j;
  }

  // One pixel at (100, 100), j = 0: red 2 down 1 right, green 2 down 1 left, blue 2 up 1 left.
  std::fill(mask.begin(), mask.end(), 0);
  mask[100 * 320 + 100] = 200;
  mask[29 * 320 + 50] = mask[190 * 320 + 50] = 200;  // outside the rows that take part
  dest.assign(FRAME_PIXELS, 0);
  rgb_split_logo(layer.data(), dest.data(), mask.data(), 0);
  EXPECT_EQ(dest[102 * 320 + 101], 0xFFFF0000u);
  EXPECT_EQ(dest[102 * 320 + 99], 0xFF00FF00u);
  EXPECT_EQ(dest[98 * 320 + 99], 0xFF0000FFu);
  EXPECT_EQ(std::count(dest.begin(), dest.end(), 0u), FRAME_PIXELS - 3);

  // Sources chosen so target t receives each subset of the three copies.
  const std::uint32_t mixed[8] = {0, 0xFFFF0000u, 0xFF00FF00u, 0xFEFFFF00u, 0xFF0000FFu, 0xFEFF00FFu, 0xFE00FFFFu, 0xFDFFFFFFu};
  for (int set = 1; set < 8; set++) {
    const int t = 100 * 320 + 40 * set;
    std::fill(mask.begin(), mask.end(), 0);
    if (set & 1) mask[t - 641] = 11;
    if (set & 2) mask[t - 639] = 11;
    if (set & 4) mask[t + 641] = 11;
    dest.assign(FRAME_PIXELS, 0x00808080u);
    rgb_split_logo(layer.data(), dest.data(), mask.data(), 0);
    EXPECT_EQ(dest[t], mixed[set]) << set;
  }
}

}  // namespace
