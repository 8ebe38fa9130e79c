// The fillers' rules on hand-made triangles: depth ties, row ranges, clipped
// starts and the vertex order's tie-breaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>

#include "canvas.h"
#include "raster/fill.h"
#include "raster/raster.h"
#include "reference.h"

namespace {

using raster::order_by_row;
using raster::RowOrder;

std::uint32_t shade(int i) { return 0x1000u + static_cast<std::uint32_t>(i); }

void shaded(Canvas& canvas, const TestShades& r, bool clip, ScreenVertex a, ScreenVertex b,
            ScreenVertex c) {
  draw_shaded_triangle(canvas.raster(), r.shades, clip, a, b, c);
}
void flat(Canvas& canvas, bool clip, ScreenVertex a, ScreenVertex b, ScreenVertex c,
          std::uint32_t colour) {
  draw_flat_triangle(canvas.raster(), colour, clip, a, b, c);
}

TEST(RowOrder, TiesNameTopAndMiddleAsTheFillersExpect) {
  auto same = [](RowOrder o, int t, int m, int b) {
    return o.top == t && o.middle == m && o.bottom == b;
  };
  EXPECT_TRUE(same(order_by_row(5, 5, 9), 1, 0, 2));  // flat top, vertex 1 on top
  EXPECT_TRUE(same(order_by_row(5, 9, 5), 0, 2, 1));
  EXPECT_TRUE(same(order_by_row(9, 5, 5), 1, 2, 0));
  EXPECT_TRUE(same(order_by_row(9, 9, 5), 2, 1, 0));  // flat bottom
  EXPECT_TRUE(same(order_by_row(5, 9, 9), 0, 1, 2));
  EXPECT_TRUE(same(order_by_row(7, 7, 7), 1, 2, 0));
  EXPECT_TRUE(same(order_by_row(3, 9, 1), 2, 0, 1));
  EXPECT_TRUE(same(order_by_row(9, 1, 3), 1, 2, 0));
}

TEST(ShadedFill, EqualDepthKeepsTheFirstFace) {
  TestShades first, second;
  for (auto& s : second.shades) s = 0xABCDEF;
  Canvas c;
  shaded(c, first, false, {20, 20, 800, 100}, {200, 40, 800, 100}, {80, 180, 800, 100});
  shaded(c, second, false, {20, 20, 800, 100}, {200, 40, 800, 100}, {80, 180, 800, 100});
  EXPECT_EQ(c.at(80, 60), shade(100));
  shaded(c, second, false, {20, 20, 799, 100}, {200, 40, 799, 100}, {80, 180, 799, 100});
  EXPECT_EQ(c.at(80, 60), 0xABCDEFu);
  EXPECT_EQ(c.z(80, 60), 799);
}

TEST(ShadedFill, RowWhoseEndsShareAColumnDrawsOnePixelWithTheLeftValues) {
  TestShades r;
  Canvas c;
  // Row 1: left edge at 50.2 (intensity 50, depth 1000), right at 50.8.
  shaded(c, r, false, {50, 0, 1000, 0}, {51, 5, 1000, 250}, {54, 5, 2000, 0});
  EXPECT_EQ(c.at(50, 1), shade(50));
  EXPECT_EQ(c.z(50, 1), 1000);
  EXPECT_FALSE(c.drawn(49, 1));
  EXPECT_FALSE(c.drawn(51, 1));
}

TEST(ShadedFill, RowRangesIncludeFirstAndLastRow) {
  TestShades r;
  Canvas c;
  shaded(c, r, false, {100, 20, 500, 0}, {60, 50, 500, 0}, {120, 80, 500, 0});
  for (int y = 20; y <= 80; ++y) EXPECT_TRUE(c.row_drawn(y)) << y;
  EXPECT_FALSE(c.row_drawn(19));
  EXPECT_FALSE(c.row_drawn(81));
  EXPECT_TRUE(c.drawn(60, 50));  // the middle vertex, on the upper half's last row

  Canvas b;
  shaded(b, r, false, {100, 20, 500, 0}, {60, 50, 500, 0}, {120, 50, 500, 0});
  EXPECT_TRUE(b.row_drawn(20));
  EXPECT_TRUE(b.row_drawn(50));
  EXPECT_FALSE(b.row_drawn(51));
}

TEST(ShadedFill, ClippedRowStartsAtColumnZeroFromTheUnroundedEdge) {
  TestShades r;
  Canvas c;
  // Row 1: left edge -3.5 (t 50, z 1000), right edge 6.5 (t 100, z 1450).
  shaded(c, r, true, {-7, 0, 1000, 0}, {0, 2, 1000, 100}, {20, 2, 1900, 200});
  const float dt = 50.0f / 9.0f, dz = 450.0f / 9.0f;
  EXPECT_EQ(c.at(0, 1), shade(static_cast<int>(50.0f + dt * 3.5f)));
  EXPECT_EQ(c.z(0, 1), static_cast<int>(1000.0f + dz * 3.5f));
  EXPECT_TRUE(c.drawn(6, 1));
  EXPECT_FALSE(c.drawn(7, 1));
}

TEST(ShadedFill, TrianglesAboveTheScreenStartAtRowZero) {
  TestShades r;
  Canvas bottom;  // edges from the top vertex plus 20 steps
  shaded(bottom, r, true, {100, -20, 1000, 10}, {60, 20, 1000, 50}, {160, 20, 1000, 250});
  EXPECT_EQ(bottom.first_drawn(0), 80);
  EXPECT_EQ(bottom.last_drawn(0), 130);
  EXPECT_EQ(bottom.at(80, 0), shade(30));

  Canvas top;  // edges from the bottom vertex minus 20 steps
  shaded(top, r, true, {100, -20, 1000, 0}, {0, -20, 1000, 0}, {50, 20, 1000, 200});
  EXPECT_EQ(top.first_drawn(0), 25);
  EXPECT_EQ(top.last_drawn(0), 75);
  EXPECT_EQ(top.at(25, 0), shade(100));

  Canvas split;  // middle above the screen: both edges from the bottom vertex
  shaded(split, r, true, {100, -40, 900, 0}, {20, -5, 900, 0}, {150, 100, 900, 0});
  EXPECT_EQ(split.first_drawn(0), static_cast<int>(150.0f + 130.0f / 105.0f * -100.0f));
  EXPECT_FALSE(split.row_drawn(101));
}

// Shapes on and over the screen edges and the tie-breaks of the vertex order,
// each against the rules, clipped and (when on screen) not.
TEST(ShadedFill, EdgeCasesMatchTheRules) {
  TestShades r;
  const ScreenVertex cases[][3] = {
      {{100, 200, 500, 0}, {50, 238, 600, 128}, {150, 300, 700, 255}},   // lower half on row 239
      {{100, 200, 500, 0}, {50, 239, 600, 128}, {150, 300, 700, 255}},   // no lower half
      {{300, 200, 500, 0}, {250, 230, 600, 128}, {330, 260, 700, 255}},  // right edge off
      {{-50, -30, 500, 255}, {200, 10, 500, 0}, {-10, 300, 500, 128}},   // three edges off
      {{-5, 10, 400, 0}, {-1, 100, 400, 0}, {-300, 50, 400, 0}},         // all x below 0
      {{320, 10, 400, 0}, {400, 100, 400, 0}, {900, 50, 400, 0}},        // all x above 319
      {{INT_MIN, INT_MIN, INT_MIN, INT_MIN}, {INT_MAX, 5, INT_MAX, INT_MAX}, {7, INT_MAX, 0, 0}},
      {{40, 30, 500, 10}, {90, 30, 600, 200}, {60, 90, 700, 90}},  // flat top, vertex 1 on top
      {{60, 90, 700, 90}, {10, 90, 400, 0}, {30, 20, 450, 255}},   // flat bottom, (2, 1, 0)
      {{10, 50, 300, 0}, {200, 50, 300, 0}, {100, 50, 300, 0}},    // one row: nothing
  };
  for (const auto& v : cases) {
    Canvas expected;
    RefStats stats;
    ref_shaded(expected, stats, r.shades, true, v[0], v[1], v[2]);
    for (bool clip : {true, false}) {
      const bool on_screen = std::all_of(v, v + 3, [](const ScreenVertex& p) {
        return p.x >= 0 && p.x < FRAME_WIDTH && p.y >= 0 && p.y < FRAME_HEIGHT;
      });
      if (!clip && !on_screen) continue;
      Canvas drawn;
      shaded(drawn, r, clip, v[0], v[1], v[2]);
      EXPECT_TRUE(drawn == expected) << v[0].x << "," << v[0].y << " clip " << clip;
    }
  }
}

TEST(FlatFill, EqualDepthLetsTheLastFaceWin) {
  Canvas c;
  flat(c, false, {20, 20, 800}, {200, 40, 800}, {80, 180, 800}, 0x111111);
  flat(c, false, {20, 20, 800}, {200, 40, 800}, {80, 180, 800}, 0x222222);
  EXPECT_EQ(c.at(80, 60), 0x222222u);
  flat(c, false, {20, 20, 801}, {200, 40, 801}, {80, 180, 801}, 0x333333);
  EXPECT_EQ(c.at(80, 60), 0x222222u);
}

TEST(FlatFill, DegenerateAndOutOfRangeTrianglesDrawNothing) {
  Canvas c;
  flat(c, true, {10, 5, 500}, {10, 50, 500}, {10, 90, 500}, 1);
  flat(c, false, {10, 5, 500}, {10, 50, 500}, {10, 90, 500}, 1);
  flat(c, true, {0, 7, 500}, {40, 7, 500}, {80, 7, 500}, 1);
  flat(c, false, {0, 7, 500}, {40, 7, 500}, {80, 7, 500}, 1);
  flat(c, true, {0, 0, 500}, {300, 200, 500}, {40000, 50, 500}, 1);
  flat(c, true, {-20000, 0, 500}, {20000, 100, 500}, {0, 200, 500}, 1);  // x apart by 40000
  flat(c, true, {-400, -10, 500}, {-1, 100, 500}, {-30, 239, 500}, 1);
  EXPECT_TRUE(c.empty());
}

TEST(FlatFill, RunsCoverEveryRowAndTiesPutTheMiddleRight) {
  Canvas c;
  flat(c, false, {100, 20, 500}, {60, 50, 500}, {120, 80, 500}, 1);
  for (int y = 20; y <= 80; ++y) EXPECT_TRUE(c.row_drawn(y)) << y;
  EXPECT_FALSE(c.row_drawn(81));

  // The middle vertex lies on the long edge. Counted on the right, the lower
  // run's right end (restarted at the middle column) lies left of its left end.
  Canvas tie;
  flat(tie, false, {0, 0, 500}, {10, 10, 500}, {20, 20, 500}, 1);
  for (int y = 0; y <= 10; ++y) EXPECT_EQ(tie.first_drawn(y), tie.last_drawn(y)) << y;
  for (int y = 11; y <= 20; ++y) EXPECT_FALSE(tie.row_drawn(y)) << y;
}

TEST(FlatFill, ClippedRowAdvancesDepthFromTheUnroundedEdge) {
  Canvas c;
  // Row 3: left edge at -2.25 (depth 100), right edge at 10 (depth 350).
  flat(c, true, {-9, 0, 100}, {40, 0, 1100}, {0, 4, 100}, 1);
  const std::int64_t step = (std::int64_t{250} << 32) / (std::int64_t{13} << 16);
  const std::int64_t depth = (std::int64_t{100} << 16) + ((step * 147456) >> 16);
  EXPECT_EQ(c.z(0, 3), static_cast<int>(depth >> 16));
  EXPECT_EQ(c.last_drawn(3), 10);
}

TEST(FlatFill, DepthsBeyondThe16Point16RangeStillOrder) {
  Canvas c;
  flat(c, false, {0, 0, 50000}, {319, 0, 50000}, {0, 239, 50000}, 0xA);
  flat(c, false, {319, 0, 50000}, {319, 239, 50000}, {0, 239, 50000}, 0xA);
  // A slope from 40000 on the left to 60000 on the right crosses it mid-screen.
  flat(c, false, {0, 100, 40000}, {319, 100, 60000}, {0, 200, 40000}, 0xB);
  EXPECT_EQ(c.at(10, 110), 0xBu);
  EXPECT_GT(c.z(10, 110), 40000);
  EXPECT_LT(c.z(10, 110), 41000);
  EXPECT_EQ(c.at(300, 101), 0xAu);
  EXPECT_EQ(c.z(300, 101), 50000);

  Canvas far;  // the ends of the int32 range are held, not wrapped
  flat(far, true, {0, 0, INT_MAX}, {100, 0, INT_MAX}, {0, 100, INT_MIN}, 0xC);
  EXPECT_EQ(far.z(0, 0), 1 << 29);
  EXPECT_EQ(far.z(100, 0), 1 << 29);
  EXPECT_EQ(far.z(0, 99) < 0, true);
}

// Moving a triangle down the screen moves its picture and nothing else: the
// clipping filler, above the top edge, draws exactly the rows the plain filler
// draws lower down, also when the middle vertex is above the screen.
TEST(FlatFill, ClippingAtTheTopMatchesTheSameTriangleOnScreen) {
  std::mt19937 rng(99);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  constexpr int SHIFT = 120;
  int middle_above = 0;
  for (int n = 0; n < 500; ++n) {
    ScreenVertex v[3];
    for (auto& p : v) p = {any(0, 319), any(-110, 110), any(200, 5000), 0};
    Canvas clipped;
    flat(clipped, true, v[0], v[1], v[2], 7);
    Canvas whole;
    ScreenVertex s[3] = {v[0], v[1], v[2]};
    for (auto& p : s) p.y += SHIFT;
    flat(whole, false, s[0], s[1], s[2], 7);
    for (int y = 0; y + SHIFT < FRAME_HEIGHT; ++y)
      for (int x = 0; x < FRAME_WIDTH; ++x) {
        ASSERT_EQ(clipped.at(x, y), whole.at(x, y + SHIFT)) << n << " at " << x << "," << y;
        ASSERT_EQ(clipped.z(x, y), whole.z(x, y + SHIFT)) << n << " at " << x << "," << y;
      }
    const RowOrder o = order_by_row(v[0].y, v[1].y, v[2].y);
    const ScreenVertex* w[3] = {&v[o.top], &v[o.middle], &v[o.bottom]};
    if (w[1]->y < 0 && w[0]->y < w[1]->y && w[1]->y < w[2]->y && w[2]->y >= 0) ++middle_above;
  }
  EXPECT_GT(middle_above, 50);
}

}  // namespace
