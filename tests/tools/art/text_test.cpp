// The text masks: legible (read back by OCR), hard-edged with strokes of at
// least 3 pixels, and placed where their scenes leave room.
#include <gtest/gtest.h>

#include "art.h"
#include "font.h"
#include "measure.h"

namespace {
class TextMasks : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(font_open(QN_ART_FONT)); }
  static void TearDownTestSuite() { font_close(); }
};

std::vector<int> text_indices() {
  std::vector<int> v;
  for (int i = 0; i < ART_MAP_COUNT; i++)
    if (i != 4) v.push_back(i);
  return v;
}

// Rows holding lit pixels, first and last (-1 when blank).
std::pair<int, int> lit_rows(const Mask& m) {
  int first = -1, last = -1;
  for (int y = 0; y < m.height; y++)
    for (int x = 0; x < m.width; x++)
      if (m.pixels[static_cast<std::size_t>(y) * m.width + x] > 10) {
        if (first < 0) first = y;
        last = y;
      }
  return {first, last};
}
}  // namespace

TEST_F(TextMasks, ReadBackByOcrAsTheirWords) {
  for (int i : text_indices()) {
    const std::string got = ocr_mask(art_map(i));
    EXPECT_GE(ocr_accuracy(art_map_words(i), got), 0.9)
        << "maps " << i << " reads as \"" << got << "\"";
  }
  // The measure itself must be able to fail: another entry's words do not pass.
  EXPECT_LT(ocr_accuracy("QUILLION", ocr_mask(art_map(2))), 0.9);
}

TEST_F(TextMasks, HardEdgesAndStrokesAtLeastThreePixels) {
  for (int i : text_indices()) {
    const Mask m = art_map(i);
    ASSERT_EQ(m.width, 320);
    ASSERT_EQ(m.height, 240);
    std::size_t lit = 0, thin = 0, soft = 0;
    auto on = [&](int x, int y) {
      return x >= 0 && y >= 0 && x < m.width && y < m.height &&
             m.pixels[static_cast<std::size_t>(y) * m.width + x] > 10;
    };
    for (int y = 0; y < m.height; y++)
      for (int x = 0; x < m.width; x++) {
        const std::uint8_t b = m.pixels[static_cast<std::size_t>(y) * m.width + x];
        if (b != 0 && b != 255) soft++;
        if (b <= 10) continue;
        lit++;
        // Lit pixels must lie in some fully lit 3x3 square.
        bool covered = false;
        for (int cy = y - 1; cy <= y + 1 && !covered; cy++)
          for (int cx = x - 1; cx <= x + 1 && !covered; cx++) {
            bool all = true;
            for (int dy = -1; dy <= 1; dy++)
              for (int dx = -1; dx <= 1; dx++) all = all && on(cx + dx, cy + dy);
            covered = all;
          }
        if (!covered) thin++;
      }
    EXPECT_GT(lit, 500u) << "maps " << i;
    EXPECT_EQ(thin, 0u) << "maps " << i;
    EXPECT_EQ(soft, 0u) << "maps " << i;
  }
}

TEST_F(TextMasks, PlacedWhereTheScenesLeaveRoom) {
  // The colour split shows rows 30..189 only and moves copies by 3 rows.
  for (int i : {1, 2, 3}) {
    const auto [top, bottom] = lit_rows(art_map(i));
    EXPECT_GE(top, 33) << "maps " << i;
    EXPECT_LE(bottom, 186) << "maps " << i;
  }
  // The floor scene's overlays stay in the sky, the top half.
  for (int i : {5, 6, 7, 12, 13, 14}) {
    const auto [top, bottom] = lit_rows(art_map(i));
    EXPECT_GE(top, 2) << "maps " << i;
    EXPECT_LT(bottom, 110) << "maps " << i;
  }
  // Nothing touches the frame's edges (cut-off letters).
  for (int i : text_indices()) {
    const Mask m = art_map(i);
    const auto [top, bottom] = lit_rows(m);
    EXPECT_GT(top, 0) << "maps " << i;
    EXPECT_LT(bottom, m.height - 1) << "maps " << i;
    for (int y = 0; y < m.height; y++) {
      EXPECT_LE(m.pixels[static_cast<std::size_t>(y) * m.width], 10) << "maps " << i;
      EXPECT_LE(m.pixels[static_cast<std::size_t>(y) * m.width + m.width - 1], 10) << "maps " << i;
    }
  }
}
