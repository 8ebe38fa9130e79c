// Pixel operations against per-channel arithmetic written out plainly.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "effects_test.h"

namespace {

TEST(PixelOps, SaturatingSumsAndBrighten) {
  std::mt19937 rng(7);
  for (int n = 0; n < 100000; n++) {
    const std::uint32_t a = rng(), b = rng(), level = rng() & 255;
    ASSERT_EQ(channels::add3(a, b, level), naive_add(a, b, level));
  }
  const Frame a = random_frame(1, ~0u), b = random_frame(2, ~0u);
  Frame out(FRAME_PIXELS - 3);  // odd length: the tail is summed too
  channels::sum_span(out.data(), a.data(), b.data(), 9, static_cast<int>(out.size()));
  for (std::size_t i = 0; i < out.size(); i++) ASSERT_EQ(out[i], naive_add(a[i], b[i], 9));
  for (std::uint32_t level : {0u, 100u, 255u, 300u}) {
    Frame f = a;
    brighten(f.data(), level);
    for (int i = 0; i < FRAME_PIXELS; i++)
      ASSERT_EQ(f[i], naive_add(a[i], 0, std::min(level, 255u)));
  }
  Frame f(FRAME_PIXELS, 0xFF123456u);
  brighten(f.data(), 0);
  EXPECT_EQ(f[0], 0x00123456u);
}

TEST(PixelOps, StampAndOverlaysCopyOnlyMarkedWords) {
  const Frame base = random_frame(1, ~0u);
  Frame f = base;
  std::vector<std::uint8_t> mask(FRAME_PIXELS, 10);
  stamp_mask(f.data(), mask.data());
  EXPECT_EQ(f, base);
  std::fill(mask.begin(), mask.end(), 11);
  stamp_mask(f.data(), mask.data());
  EXPECT_EQ(f, Frame(FRAME_PIXELS, 0xFFFFFFFFu));

  Frame over = random_frame(2, ~0u), white = base, nonzero = base;
  for (int i = 0; i < FRAME_PIXELS; i++)
    over[i] = i % 3 == 0 ? 0 : i % 3 == 1 ? 0xFFFFFFFFu : over[i];
  overlay_white(white.data(), over.data());
  overlay_nonzero(nonzero.data(), over.data());
  for (int i = 0; i < FRAME_PIXELS; i++) {
    ASSERT_EQ(white[i], i % 3 == 1 ? 0xFFFFFFFFu : base[i]);
    ASSERT_EQ(nonzero[i], i % 3 == 0 ? base[i] : over[i]);
  }
}

TEST(PixelOps, SplitLogoCopiesMixAdditively) {
  test_tables_ready();
  std::mt19937 rng(3);
  std::vector<std::uint8_t> mask(FRAME_PIXELS);
  for (auto& m : mask) m = rng() % 3 ? rng() % 11 : 11 + rng() % 200;
  const Frame under = random_frame(4);
  Frame layer(FRAME_PIXELS), dest(FRAME_PIXELS);
  for (int j = 0; j < 10; j++) {
    // Three linear copies of the mask's rows 30..189 only, then the non-zero overlay.
    Frame want(FRAME_PIXELS, 0);
    const int offsets[3] = {logo_row_offsets[j] + logo_col_offsets[j],
                            logo_row_offsets[j] - logo_col_offsets[j],
                            -logo_row_offsets[j] - logo_col_offsets[j]};
    const std::uint32_t colours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    for (int c = 0; c < 3; c++)
      for (int i = 9600; i < 60800; i++)
        if (mask[i] > 10) want[i + offsets[c]] = (c ? want[i + offsets[c]] : 0) + colours[c];
    for (int i = 0; i < FRAME_PIXELS; i++) want[i] = want[i] ? want[i] : under[i];
    std::copy(under.begin(), under.end(), dest.begin());
    rgb_split_logo(layer.data(), dest.data(), mask.data(), logo_offsets(), j);
    ASSERT_EQ(dest, want) << j;
  }
  // With j = 0, target t takes red from t - 641, green from t - 639, blue from t + 641.
  const std::uint32_t mixed[8] = {0,           0xFFFF0000u, 0xFF00FF00u, 0xFEFFFF00u,
                                  0xFF0000FFu, 0xFEFF00FFu, 0xFE00FFFFu, 0xFDFFFFFFu};
  for (int set = 1; set < 8; set++) {
    const int t = 100 * 320 + 40 * set;
    std::fill(mask.begin(), mask.end(), 0);
    mask[t - 641] = set & 1 ? 11 : 0, mask[t - 639] = set & 2 ? 11 : 0,
             mask[t + 641] = set & 4 ? 11 : 0;
    dest.assign(FRAME_PIXELS, 0x00808080u);
    rgb_split_logo(layer.data(), dest.data(), mask.data(), logo_offsets(), 0);
    EXPECT_EQ(dest[t], mixed[set]) << set;
  }
}

}  // namespace
