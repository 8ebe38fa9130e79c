// The textures and pictures: seamless where they tile, detailed, and shaped
// for what each scene does with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "art.h"
#include "font.h"
#include "measure.h"

namespace {
class Pictures : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(font_open(QN_ART_FONT)); }
  static void TearDownTestSuite() { font_close(); }
};

constexpr int textures[] = {0, 1, 2, 3, 4, 9};

int blue(const Picture& p, int x, int y) {
  return static_cast<int>(p.pixels[static_cast<std::size_t>(y) * p.width + x] & 255);
}
}  // namespace

TEST_F(Pictures, TexturesAndHeightMapTileSeamlessly) {
  std::vector<std::pair<std::string, Picture>> all;
  for (int i : textures) all.emplace_back("text " + std::to_string(i), art_text(i));
  all.emplace_back("maps 4", mask_as_picture(art_map(4)));
  for (const auto& [name, p] : all) {
    ASSERT_EQ(p.width, 256) << name;
    ASSERT_EQ(p.height, 256) << name;
    for (const Steps s : {column_steps(p), row_steps(p)})
      EXPECT_LE(s.wrap, 1.5 * s.inside + 1.0)
          << name << ": wrap step " << s.wrap << ", inside " << s.inside;
  }
}

TEST_F(Pictures, EveryShownPictureHasRealDetail) {
  for (int i : {0, 1, 2, 3, 4, 7, 8, 9, 10}) {
    const Picture p = art_text(i);
    // The relief is one height (its blue channel) tinted: count its levels.
    EXPECT_GE(distinct_colours(p), i == 8 ? 150u : 300u) << "text " << i;
    // The emblem is meant to sit on black and the closing words are solid
    // white; beyond those, no big flat area.
    EXPECT_LE(commonest_share(p), i == 0 ? 0.7 : i == 10 ? 0.15 : 0.1) << "text " << i;
    EXPECT_TRUE(std::all_of(p.pixels.begin(), p.pixels.end(),
                            [](std::uint32_t w) { return w <= 0xFFFFFFu; }))
        << "text " << i << " uses bits 24..31";
  }
}

TEST_F(Pictures, EachPictureSuitsItsScene) {
  // The wobbled emblem shifts by up to 24 texels with wrap-around: its border
  // band must be black so no seam or cut shows.
  const Picture emblem = art_text(0);
  for (int y = 0; y < 256; y++)
    for (int x = 0; x < 256; x++)
      if (x < 24 || y < 24 || x >= 232 || y >= 232) {
        ASSERT_EQ(emblem.pixels[static_cast<std::size_t>(y) * 256 + x], 0u) << x << "," << y;
      }

  // The backdrop is added onto the tunnel: dim on average and almost everywhere.
  const Picture backdrop = art_text(7);
  std::vector<int> channels;
  for (std::uint32_t w : backdrop.pixels)
    for (int sh : {0, 8, 16}) channels.push_back(static_cast<int>((w >> sh) & 255));
  std::sort(channels.begin(), channels.end());
  double mean = 0;
  for (int c : channels) mean += c;
  EXPECT_LT(mean / static_cast<double>(channels.size()), 40.0);
  EXPECT_LT(channels[channels.size() * 99 / 100], 130);

  // The relief's blue channel becomes texel offsets b(x-1) - b(x+1): real
  // height, but smooth slopes, so the glass bends the picture without noise.
  const Picture relief = art_text(8);
  int lo = 255, hi = 0, steepest = 0;
  for (int y = 1; y < 239; y++)
    for (int x = 1; x < 319; x++) {
      lo = std::min(lo, blue(relief, x, y)), hi = std::max(hi, blue(relief, x, y));
      steepest = std::max({steepest, std::abs(blue(relief, x - 1, y) - blue(relief, x + 1, y)),
                           std::abs(blue(relief, x, y - 1) - blue(relief, x, y + 1))});
    }
  EXPECT_GE(hi - lo, 100);
  EXPECT_LE(steepest, 48);

  // The closing picture carries its words in white.
  const Picture closing = art_text(10);
  ASSERT_EQ(closing.pixels.size(), 76800u);
  Mask white = mask_make(320, 240);
  for (std::size_t i = 0; i < white.pixels.size(); i++)
    white.pixels[i] = closing.pixels[i] == 0xFFFFFFu ? 255 : 0;
  const std::string got = ocr_mask(white);
  EXPECT_GE(ocr_accuracy(art_closing_words(), got), 0.9)
      << "closing picture reads as \"" << got << "\"";
}

TEST_F(Pictures, HeightMapSpansAHundredLevelsWithSmoothSlopes) {
  const Mask h = art_map(4);
  ASSERT_EQ(h.pixels.size(), 65536u);
  const auto [lo, hi] = std::minmax_element(h.pixels.begin(), h.pixels.end());
  EXPECT_GE(static_cast<int>(*hi) - static_cast<int>(*lo), 100);
  // Above the nearest floor row's rise (69) somewhere, or the landscape never rises.
  EXPECT_GT(static_cast<int>(*hi), 69 + 40);
  const Steps s = column_steps(mask_as_picture(h));
  EXPECT_LT(s.inside / 3, 4.0);  // mean step between neighbours, in levels
}
