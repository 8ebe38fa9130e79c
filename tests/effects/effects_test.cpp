// Every 2D effect against a deliberately naive rendering of its formula from
// the same tables and counters, in 64-bit arithmetic and masked at the end.
#include "effects_test.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr int W = FRAME_WIDTH, H = FRAME_HEIGHT;

class Effects : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test_tables_ready(); }
  Frame texture = random_frame(11), image = random_frame(12), dest = Frame(FRAME_PIXELS, 0);
};

TEST_F(Effects, MapPairsShowTheirTexels) {
  const std::int32_t* pairs[8][2] = {{map_v_a, map_u_a}, {map_v_b, map_u_b}, {nullptr, map_u_b},
                                     {map_v_c, map_u_c}, {map_v_d, map_u_d}, {map_v_c, map_u_b},
                                     {map_v_b, map_u_d}, {nullptr, map_u_e}};
  for (int pair = 1; pair <= 8; pair++)
    for (std::int32_t phase : {0, 1, 77, -3, INT_MAX}) {
      map_pair_lookup(dest.data(), tunnel_maps(), pair, texture.data(), phase);
      for (int i = 0; i < FRAME_PIXELS; i++) {
        const long long v = pairs[pair - 1][0] ? pairs[pair - 1][0][i] : i / W,
                        u = pairs[pair - 1][1][i];
        ASSERT_EQ(dest[i], texel(texture, (phase + v) * 256 + phase + u))
            << pair << " " << phase << " " << i;
      }
    }
  map_lookup(dest.data(), texture.data(), plane_v, plane_u, 5);
  EXPECT_EQ(dest[0], texel(texture, (5 + plane_v[0]) * 256 + 5 + plane_u[0]));
  const Frame before = dest;
  map_pair_lookup(dest.data(), tunnel_maps(), 9, texture.data(), 0);  // no such pair
  EXPECT_EQ(dest, before);
}

Frame naive_floor(const Frame& tex, const std::vector<std::uint8_t>& heights, int phase, int scroll,
                  bool land) {
  Frame out(FRAME_PIXELS, 0xFF9A9AFFu);
  for (int y = 120; y < H; y++) {
    const int k = y - 120;
    for (int x = 0; x < W; x++) {
      const std::uint32_t colour =
          texel(tex, (static_cast<long long>(phase) + floor_v[k]) * 256 + floor_u[k * W + x]);
      const int top = land ? y - heights[((y + scroll) * 256LL + x) & 0xFFFF] + floor_rise[k] : y;
      if (top >= y) out[y * W + x] = colour;
      for (int r = y; r > top && r >= 0; r--) out[r * W + x] = colour;
    }
  }
  return out;
}

TEST_F(Effects, FloorAndLandscapePaintNearRowsLast) {
  std::mt19937 rng(5);
  std::vector<std::uint8_t> heights(FRAME_PIXELS);
  for (auto& h : heights) h = rng() % 4 == 0 ? 0 : rng() % 8 == 0 ? 255 : rng() & 255;
  for (bool land : {false, true})
    for (auto [phase, scroll] : {std::pair{0, 0}, {31, -17}, {-5, -400}}) {
      floor_landscape(dest.data(), floor_maps(), texture.data(), heights.data(), phase, scroll,
                      land);
      ASSERT_EQ(dest, naive_floor(texture, heights, phase, scroll, land)) << land << " " << phase;
    }
  // A 255 peak at the horizon row would reach row -135: its run fills the column to row 0.
  std::fill(heights.begin(), heights.end(), 0);
  heights[120 * 256 + 10] = 255;
  floor_landscape(dest.data(), floor_maps(), texture.data(), heights.data(), 0, 0, true);
  const std::uint32_t peak = texel(texture, floor_v[0] * 256LL + floor_u[10]);
  for (int r = 0; r <= 120; r++) ASSERT_EQ(dest[r * W + 10], peak) << r;
  EXPECT_EQ(dest[11], 0xFF9A9AFFu);
}

TEST_F(Effects, PolarTunnelAddsTheRaisedBackdrop) {
  const Frame backdrop = random_frame(13);
  for (auto [phase, whiteout] : {std::pair{0, 0u}, {9, 40u}, {1000, 255u}}) {
    polar_tunnel(dest.data(), polar_maps(), texture.data(), backdrop.data(), phase, whiteout);
    for (int i = 0; i < FRAME_PIXELS; i++) {
      const std::uint32_t t =
          texel(texture, (static_cast<long long>(phase) + polar_depth[i]) * 256 + polar_angle[i]);
      ASSERT_EQ(dest[i], naive_add(t, naive_add(backdrop[i], 0, whiteout))) << i;
    }
  }
  const Frame black(FRAME_PIXELS, 0);
  polar_tunnel(dest.data(), polar_maps(), texture.data(), black.data(), 3, 0);
  EXPECT_EQ(dest[120 * W + 160], texture[(3 * 256) & 0xFFFF]);
}

TEST_F(Effects, OpeningBackgroundBlendsTheWobbledImageClipped) {
  const Frame tile = random_frame(14);
  Frame wob(FRAME_PIXELS);
  for (auto [scroll, path] : {std::pair{0, 0}, {300, 90}, {-7, 200}}) {
    opening_background(dest.data(), wob.data(), wobble_tables(), image.data(), tile.data(), scroll,
                       path);
    Frame want(FRAME_PIXELS), w(TEXTURE_PIXELS);
    for (int y = 0; y < H; y++)
      for (int x = 0; x < W; x++)
        want[y * W + x] = tile[((y + scroll) & 255) * 256 + ((x + scroll) & 255)];
    for (int v = 0; v < 256; v++)
      for (int u = 0; u < 256; u++)
        w[v * 256 + u] = image[((v + wobble[v]) & 255) * 256 + ((u + wobble[u]) & 255)];
    for (int v = 0; v < 256; v++)
      for (int u = 0; u < 256; u++) {
        const int x = u + path_a_x[path], y = v + path_a_y[path];
        if (x >= 0 && x < W && y >= 0 && y < H)
          want[y * W + x] = naive_add(want[y * W + x], w[v * 256 + u]);
      }
    ASSERT_EQ(dest, want) << path;
    ASSERT_TRUE(std::equal(w.begin(), w.end(), wob.begin()));
  }
  // Path index 0 puts the corner at (-5, 25): texel column 5 lands in screen column 0.
  const Frame black(FRAME_PIXELS, 0);
  opening_background(dest.data(), wob.data(), wobble_tables(), image.data(), black.data(), 0, 0);
  EXPECT_EQ(dest[25 * W], wob[5]);
  EXPECT_EQ(dest[24 * W], 0u);
}

TEST_F(Effects, TwinBumpTrailsTheSecondImage) {
  Frame second(FRAME_PIXELS, 0), trail(FRAME_PIXELS, 0);
  auto draw = [&](Frame& out, int ox, int oy) {
    for (int v = 1; v <= 254; v++)
      for (int u = 1; u <= 254; u++) {
        const int x = u + ox, y = v + oy, i = y * W + x;
        if (x >= 0 && x < W && y >= 0 && y < H)
          out[i] = texel(image, (v + bump_dy[i]) * 256LL + u + bump_dx[i]);
      }
  };
  for (auto [p, q, lift] : {std::tuple{0, 359, 255u}, {1, 358, 30u}, {90, 200, 0u}}) {
    Frame first(FRAME_PIXELS, 0);
    draw(first, path_b_x[p], path_b_y[p]);
    draw(trail, path_a_x[q], path_a_y[q]);
    twin_bump(dest.data(), second.data(), bump_tables(), image.data(), p, q, lift);
    ASSERT_EQ(second, trail);
    for (int i = 0; i < FRAME_PIXELS; i++)
      ASSERT_EQ(dest[i], naive_add(first[i], trail[i], lift)) << i;
  }
  // Path b at index 0 is (0, 30): texel (1, 1) lands at screen (1, 31).
  std::fill(second.begin(), second.end(), 0);
  twin_bump(dest.data(), second.data(), bump_tables(), image.data(), 0, 0, 0);
  const int i = 31 * W + 1;
  EXPECT_EQ(dest[i], naive_add(texel(image, (1 + bump_dy[i]) * 256LL + 1 + bump_dx[i]), second[i]));
  EXPECT_EQ(dest[0], 0u);  // never covered: the lift alone
}

}  // namespace
