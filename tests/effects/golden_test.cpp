// Whole outputs of every table and effect, reduced to 64-bit digests and
// compared with digests recorded from the first, plain implementations: the
// faster loops must not change a single word. Inputs are pseudo-random
// pictures and masks with every byte value, so no test data file is needed.
#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstring>

#include "effects_test.h"

namespace {

// FNV-1a over the bytes, little-endian word by word whatever the machine.
template <typename T>
std::uint64_t digest(const T* p, std::size_t n, std::uint64_t h = 0xCBF29CE484222325ull) {
  static_assert(sizeof(T) == 4);
  for (std::size_t i = 0; i < n; i++)
    for (std::uint32_t w = std::bit_cast<std::uint32_t>(p[i]), k = 0; k < 4; k++, w >>= 8)
      h = (h ^ (w & 0xFF)) * 0x100000001B3ull;
  return h;
}
std::uint64_t frame_digest(const std::uint32_t* f, std::uint64_t h = 0xCBF29CE484222325ull) {
  return digest(f, FRAME_PIXELS, h);
}

std::vector<std::uint8_t> random_mask(std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> m(FRAME_PIXELS);
  // Runs of text and background as in the masks, with every byte value.
  for (std::size_t i = 0; i < m.size();) {
    const std::size_t run = 1 + rng() % 40;
    const bool text = rng() & 1;
    for (std::size_t k = 0; k < run && i < m.size(); k++, i++)
      m[i] = static_cast<std::uint8_t>(text ? 11 + rng() % 245 : rng() % 11);
  }
  for (std::size_t i = 0; i < m.size(); i += 97) m[i] = static_cast<std::uint8_t>(rng());
  return m;
}

class Golden : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test_tables_ready(); }
  Frame a = random_frame(21, ~0u), b = random_frame(22, ~0u), texture = random_frame(23, ~0u);
  Frame out = Frame(FRAME_PIXELS, 0), other = Frame(FRAME_PIXELS, 0), work = Frame(FRAME_PIXELS, 0);
  // Shows the digest when it differs, so a deliberate change can be recorded.
  static void expect(const char* what, std::uint64_t got, std::uint64_t want) {
    EXPECT_EQ(got, want) << what << ": 0x" << std::hex << got << "ull";
  }
};

TEST_F(Golden, Tables) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (const std::int32_t* t :
       {plane_u, plane_v, map_v_a, map_v_b, map_v_c, map_v_d, map_u_a, map_u_b, map_u_c, map_u_d,
        map_u_e, polar_angle, polar_depth, bump_dx, bump_dy})
    h = digest(t, FRAME_PIXELS, h);
  for (const float* t : {depth_a, depth_b, depth_c, depth_d}) h = digest(t, FRAME_PIXELS, h);
  h = digest(floor_u, 120 * 320, h);
  h = digest(floor_v, 120, h);
  h = digest(floor_rise, 120, h);
  for (const std::int32_t* t : {path_a_x, path_a_y, path_b_x, path_b_y}) h = digest(t, 360, h);
  h = digest(logo_row_offsets, 10, h);
  h = digest(logo_col_offsets, 10, h);
  h = digest(column_warp, 320, h);
  h = digest(row_warp, 240, h);
  expect("tables", h, 0x60efc99a5cac001eull);
}

TEST_F(Golden, PixelOperationsAndOverlays) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (std::uint32_t level : {0u, 1u, 40u, 200u, 255u, 256u, 100000u}) {
    out = a;
    brighten(out.data(), level);
    h = frame_digest(out.data(), h);
  }
  const std::vector<std::uint8_t> mask = random_mask(5);
  out = a;
  stamp_mask(out.data(), mask.data());
  h = frame_digest(out.data(), h);
  Frame over = b;
  for (std::size_t i = 0; i < over.size(); i++)
    over[i] = i % 5 == 0 ? 0 : i % 5 == 1 ? ~0u : over[i];
  out = a;
  overlay_white(out.data(), over.data());
  h = frame_digest(out.data(), h);
  out = a;
  overlay_nonzero(out.data(), over.data());
  h = frame_digest(out.data(), h);
  for (int j = -1; j <= 10; j++) {
    other = b;
    rgb_split_logo(work.data(), other.data(), mask.data(), logo_offsets(), j);
    h = frame_digest(work.data(), frame_digest(other.data(), h));
  }
  expect("pixel operations", h, 0x780e84c79c28c1d0ull);
}

TEST_F(Golden, MappedEffects) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (std::int32_t phase : {0, 1, 255, 256, 1000, -3, 2147483647}) {
    map_lookup(out.data(), texture.data(), plane_v, plane_u, phase);
    h = frame_digest(out.data(), h);
    for (int pair = 1; pair <= 8; pair++) {
      map_pair_lookup(out.data(), tunnel_maps(), pair, texture.data(), phase);
      h = frame_digest(out.data(), h);
    }
    polar_tunnel(out.data(), polar_maps(), texture.data(), b.data(), phase,
                 static_cast<std::uint32_t>(phase & 511));
    h = frame_digest(out.data(), h);
  }
  const std::vector<std::uint8_t> heights = random_mask(6);
  for (auto [phase, scroll] : {std::pair{0, 0}, {17, -40}, {300, 1000}, {-5, 255}})
    for (bool landscape : {false, true}) {
      floor_landscape(out.data(), floor_maps(), texture.data(), heights.data(), phase, scroll,
                      landscape);
      h = frame_digest(out.data(), h);
    }
  expect("mapped effects", h, 0x6423de2f258eac38ull);
}

TEST_F(Golden, MovingImages) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (auto [scroll, path] : {std::pair{0, 0}, {13, 90}, {-300, 200}, {1000, 359}, {7, -1}}) {
    out = a;
    opening_background(out.data(), work.data(), wobble_tables(), texture.data(), b.data(), scroll,
                       path);
    h = frame_digest(work.data(), frame_digest(out.data(), h));
  }
  other = a;
  for (auto [p, q, lift] :
       {std::tuple{0, 359, 255u}, {40, 300, 20u}, {-7, 721, 0u}, {359, 0, 999u}}) {
    twin_bump(out.data(), other.data(), bump_tables(), texture.data(), p, q, lift);
    h = frame_digest(other.data(), frame_digest(out.data(), h));
  }
  expect("moving images", h, 0x3e927bffd2e965e1ull);
}

}  // namespace
