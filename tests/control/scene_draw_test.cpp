// Each scene draws from the texture, maps and counters it should: frames
// compared with plain recomputations from the same tables.
#include <gtest/gtest.h>
#include <mikmod.h>

#include <algorithm>
#include <vector>

#include "common/frame.h"
#include "control/tables.h"
#include "control/timeline.h"
#include "effects/effects.h"
#include "scene_fixture.h"

namespace {
MODULE module;

struct Drawn {
  TimelineState t;
  const std::uint32_t* image;
};

// Enters `scene` at (position, row), sets the lift to 0 and draws one frame.
Drawn draw(int scene, int position, int row, void (*adjust)(TimelineState&) = nullptr) {
  scene_fixture_setup();
  music_module = &module;
  module.sngpos = static_cast<SWORD>(position);
  module.patpos = static_cast<UWORD>(row);
  Drawn d{};
  d.t.scene = static_cast<std::uint8_t>(scene);
  scene_table[scene].enter(d.t);
  d.t.lift = 0;
  if (adjust) adjust(d.t);
  d.image = scene_table[scene].draw(d.t);
  return d;
}

std::uint32_t texel(int k, std::int64_t index) {
  return demo_archive->text[k][index & 0xFFFF] & 0xFFFFFFu;
}
}  // namespace

TEST(SceneDraw, TunnelsPickTheirMapPairByPosition) {
  // Scene 2 at position 6 is pair 3: the row and map_u_b.
  Drawn d = draw(2, 6, 0);
  ASSERT_EQ(d.image, work_frame);
  for (int i = 0; i < FRAME_PIXELS; i += 97)
    ASSERT_EQ(work_frame[i], texel(3, (i / FRAME_WIDTH) * 256 + map_u_b[i])) << i;
  // Scene 8 at position 41 is pair 4, with phase 5.
  d = draw(8, 41, 0, [](TimelineState& t) { t.phase = 5; });
  for (int i = 1; i < FRAME_PIXELS; i += 97)
    ASSERT_EQ(work_frame[i], texel(3, (5 + std::int64_t{map_v_c[i]}) * 256 + 5 + map_u_c[i])) << i;
  // Scene 4's third choice is pair 1.
  d = draw(4, 21, 5, [](TimelineState& t) { t.shown = 2; });
  for (int i = 0; i < FRAME_PIXELS; i += 89)
    ASSERT_EQ(work_frame[i], texel(3, std::int64_t{map_v_a[i]} * 256 + map_u_a[i])) << i;
}

TEST(SceneDraw, PlaneUsesItsTexture) {
  draw(1, 2, 0);  // row 0: no text yet
  for (int i = 0; i < FRAME_PIXELS; i += 101)
    ASSERT_EQ(work_frame[i], texel(2, std::int64_t{plane_v[i]} * 256 + plane_u[i])) << i;
}

// The effects are checked against their formulas on their own; here each
// scene must hand them its own counters, pictures and paths.
TEST(SceneDraw, ScenesPassTheirCountersPicturesAndPaths) {
  scene_fixture_setup();
  std::vector<std::uint32_t> want(FRAME_PIXELS), other(FRAME_PIXELS);
  const auto& a = *demo_archive;
  auto same = [&](const std::uint32_t* got) { return std::equal(want.begin(), want.end(), got); };
  // Scene 0: tile text 1 scrolled by second, text 0 wobbled at path, logo over it.
  const Drawn d =
      draw(0, 0, 0, [](TimelineState& t) { t.phase = 3, t.second = 17, t.path = 45, t.logo = 2; });
  opening_background(want.data(), other.data(), wobble_tables(), a.text[0], a.text[1], 17, 45);
  rgb_split_logo(other.data(), want.data(), a.maps[2], logo_offsets(), 3);
  EXPECT_TRUE(same(d.image));
  // Scene 5: text 4 through the polar maps at phase, text 7 raised by whiteout.
  draw(5, 22, 0, [](TimelineState& t) { t.phase = 3, t.whiteout = 40; });
  polar_tunnel(want.data(), polar_maps(), a.text[4], a.text[7], 3, 40);
  EXPECT_TRUE(same(work_frame));
  // Scene 7: the first image at phase, the second (trailing) at second.
  draw(7, 35, 0, [](TimelineState& t) { t.phase = 10, t.second = 300; });
  std::fill(other.begin(), other.end(), 0u);
  twin_bump(want.data(), other.data(), bump_tables(), a.text[9], 10, 300, 0);
  stamp_mask(want.data(), a.maps[16]);
  EXPECT_TRUE(same(work_frame));
  EXPECT_TRUE(std::equal(other.begin(), other.end(), second_frame));
}

TEST(SceneDraw, TextsAndTheClosingPicture) {
  // Scene 7 at position 35 stamps maps entry 16 in pure white over the images.
  draw(7, 35, 0);
  const std::uint8_t* mask = demo_archive->maps[16];
  for (int i = 0; i < FRAME_PIXELS; i++)
    if (mask[i] > 10) {
      ASSERT_EQ(work_frame[i], 0xFFFFFFFFu) << i;
    }
  // Scene 3's first text at position 13, row 1 is maps entry 5, over the floor.
  draw(3, 13, 1);
  mask = demo_archive->maps[5];
  for (int i = 0; i < FRAME_PIXELS; i++)
    if (mask[i] > 10) {
      ASSERT_EQ(work_frame[i] & 0xFFFFFFu, 0xFFFFFFu) << i;
    }

  // Scene 9 presents text entry 10 once, then nothing.
  Drawn d = draw(9, 42, 0);
  EXPECT_EQ(d.image, demo_archive->text[10]);
  EXPECT_EQ(scene_table[9].draw(d.t), nullptr);
}
