// Thousands of random triangles drawn by the fillers and by the reference,
// compared pixel for pixel and depth for depth after every few triangles.
#include "reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "canvas.h"
#include "raster/raster.h"

namespace {

// Coordinates in a few classes: on screen, a little off, far off, and tiny
// or thin triangles around one point so every shape and tie turns up.
struct TriangleMaker {
  std::mt19937 rng;
  explicit TriangleMaker(unsigned seed) : rng(seed) {}
  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

  void make(ScreenVertex v[3], bool on_screen, int max_depth) {
    const int kind = uniform(0, 5);
    const int cx = uniform(-60, 380), cy = uniform(-60, 300);
    for (int k = 0; k < 3; ++k) {
      ScreenVertex& p = v[k];
      switch (on_screen ? kind % 3 : kind) {
        case 0:
          p.x = uniform(0, 319), p.y = uniform(0, 239);
          break;
        case 1:
          p.x = std::clamp(cx + uniform(-6, 6), 0, 319);
          p.y = std::clamp(cy + uniform(-6, 6), 0, 239);
          break;
        case 2:
          p.x = std::clamp(cx + uniform(-40, 40), 0, 319);
          p.y = std::clamp(cy + uniform(-3, 3), 0, 239);
          break;
        case 3:
          p.x = uniform(-400, 720), p.y = uniform(-300, 540);
          break;
        case 4:
          p.x = uniform(-3000, 3300), p.y = uniform(-3000, 3240);
          break;
        default:
          p.x = cx + uniform(-2, 2), p.y = cy + uniform(-100, 100);
          break;
      }
      p.z = uniform(200, max_depth);
      p.i = uniform(0, 255);
    }
    // Shared rows and columns: flat tops and bottoms, one-column spans.
    if (uniform(0, 3) == 0) v[uniform(0, 2)].y = v[uniform(0, 2)].y;
    if (uniform(0, 5) == 0) v[uniform(0, 2)].x = v[uniform(0, 2)].x;
  }
};

bool wholly_on_screen(const ScreenVertex v[3]) {
  for (int k = 0; k < 3; ++k)
    if (v[k].x < 0 || v[k].x > 319 || v[k].y < 0 || v[k].y > 239) return false;
  return true;
}

constexpr int CANVASES = 200;
constexpr int TRIANGLES_PER_CANVAS = 30;
constexpr int CHECK_EVERY = 5;

TEST(RasterReference, ShadedTrianglesMatchTheRules) {
  TestShades ramp;
  TriangleMaker maker(12345);
  long compared = 0;
  for (int n = 0; n < CANVASES; ++n) {
    Canvas drawn, expected;
    RefStats stats;
    for (int k = 0; k < TRIANGLES_PER_CANVAS; ++k) {
      ScreenVertex v[3];
      maker.make(v, k % 3 == 0, 4000);
      const bool clip = !wholly_on_screen(v) || maker.uniform(0, 1) == 0;
      draw_shaded_triangle(drawn.raster(), ramp.shades, clip, v[0], v[1], v[2]);
      ref_shaded(expected, stats, ramp.shades, clip, v[0], v[1], v[2]);
      if (k % CHECK_EVERY == CHECK_EVERY - 1) {
        ASSERT_TRUE(drawn == expected)
            << "canvas " << n << " triangle " << k << ": (" << v[0].x << "," << v[0].y << ") ("
            << v[1].x << "," << v[1].y << ") (" << v[2].x << "," << v[2].y << ") clip " << clip;
        ++compared;
      }
    }
    // The rules never leave the frame, clipped or not.
    ASSERT_EQ(stats.pixels_outside, 0);
  }
  EXPECT_EQ(compared, CANVASES * TRIANGLES_PER_CANVAS / CHECK_EVERY);
}

TEST(RasterReference, FlatTrianglesMatchTheRules) {
  TriangleMaker maker(777);
  for (int n = 0; n < CANVASES; ++n) {
    Canvas drawn, expected;
    RefStats stats;
    for (int k = 0; k < TRIANGLES_PER_CANVAS; ++k) {
      ScreenVertex v[3];
      maker.make(v, k % 3 == 0, 32767);
      // Now and then a coordinate beyond the 16.16 range, which the guard drops.
      if (maker.uniform(0, 40) == 0) v[maker.uniform(0, 2)].x = maker.uniform(32000, 40000);
      const bool clip = !wholly_on_screen(v) || maker.uniform(0, 1) == 0;
      const std::uint32_t shade = 0x10000u + static_cast<std::uint32_t>(k);
      draw_flat_triangle(drawn.raster(), shade, clip, v[0], v[1], v[2]);
      ref_flat(expected, stats, clip, v[0], v[1], v[2], shade);
      if (k % CHECK_EVERY == CHECK_EVERY - 1) {
        ASSERT_TRUE(drawn == expected)
            << "canvas " << n << " triangle " << k << ": (" << v[0].x << "," << v[0].y << ") ("
            << v[1].x << "," << v[1].y << ") (" << v[2].x << "," << v[2].y << ") clip " << clip;
      }
    }
    ASSERT_EQ(stats.pixels_outside, 0);
  }
}

}  // namespace
