// Each scene's frame drawing as the timeline does it, the pixel operations
// and overlays on their own, and the map lookups alone. Traffic counts every
// pass the drawing makes over its buffers; textures count once (T).
#include "bench/control/suite.h"
#include "common/frame.h"
#include "control/tables.h"
#include "effects/effects.h"

namespace {

constexpr std::size_t F = FRAME_BYTES, M = FRAME_PIXELS, T = TEXTURE_PIXELS * 4;
// Texels (1..254)^2 of one bump image: two relief reads, a write, a texel read.
constexpr std::size_t BUMP = 254 * 254 * 16;
// One colour copy of the logo: 160 mask rows, the layer read and written.
constexpr std::size_t LOGO_COPY = M * 2 / 3 + 2 * F * 2 / 3;

std::uint32_t* text(int k) { return suite::demo().archive->text[k]; }
const std::uint8_t* maps(int k) { return suite::demo().archive->maps[k]; }

std::int32_t phase = 0;

// ---- whole scenes ---------------------------------------------------------
// Scene 0: tile, wobble, blend, then the logo built in work_frame and laid over.
QN_SUITE(scene0_opening, F + T + F + 2 * T + 3 * T + F + 3 * LOGO_COPY + 3 * F, 1.5,
         opening_background(second_frame, wobble_image, wobble_tables(), text(0), text(1), phase,
                            phase % 360);
         rgb_split_logo(work_frame, second_frame, maps(1), logo_offsets(), phase++ % 10));
QN_SUITE(scene1_plane, 3 * F + T + 2 * F + 3 * F, 1.5,
         map_lookup(work_frame, text(2), plane_v, plane_u, phase++);
         brighten(work_frame, 40); overlay_white(work_frame, second_frame));
// Scenes 2, 4, 6 and 8: one map pair and the lift.
template <int pair>
void tunnel(benchmark::State& s) {
  const std::size_t maps_read = (pair == 3 || pair == 8) ? F : 2 * F;
  suite::against_floor(s, maps_read + T + F + 2 * F, 1.5, [] {
    map_pair_lookup(work_frame, tunnel_maps(), pair, text(3), phase++);
    brighten(work_frame, 40);
  });
}
#define QN_TUNNEL(k) \
  BENCHMARK(tunnel<k>)->Name("scene2468_pair" #k)->UseManualTime()->Unit(benchmark::kMicrosecond)
QN_TUNNEL(1);
QN_TUNNEL(2);
QN_TUNNEL(3);
QN_TUNNEL(4);
QN_TUNNEL(5);
QN_TUNNEL(6);
QN_TUNNEL(7);
QN_TUNNEL(8);
QN_SUITE(scene3_floor, F / 2 + F / 2 + T + F / 2 + 3 * F + 2 * F, 1.5,
         floor_landscape(work_frame, floor_maps(), text(4), maps(4), phase, -phase, false);
         phase++; overlay_nonzero(work_frame, second_frame); brighten(work_frame, 40));
QN_SUITE(scene3_landscape, F / 2 + F / 2 + T + F / 2 + M / 2 + 3 * F + 2 * F, 1.5,
         floor_landscape(work_frame, floor_maps(), text(4), maps(4), phase, -phase, true);
         phase++; overlay_nonzero(work_frame, second_frame); brighten(work_frame, 40));
// Scene 5's tunnel alone: the yardstick of the objects' cost.
QN_SUITE(scene5_polar_alone, 4 * F + T + 2 * F, 1.5,
         polar_tunnel(work_frame, polar_maps(), text(4), text(7), phase++, 0);
         brighten(work_frame, 40));
// Scene 5 whole, in the four motion phases: the first far off and flying in,
// both at the centre, the second off to one side, the first flying away.
void scene5_objects(benchmark::State& state) {
  static const float places[4][2] = {{1500, 700}, {0, 0}, {0, -400}, {3000, -700}};
  const float* at = places[state.range(0)];
  suite::against_floor(state, 4 * F + T + 2 * F + F, suite::NO_GOAL, [at] {
    suite::Demo& d = suite::demo();
    polar_tunnel(work_frame, polar_maps(), text(4), text(7), phase++, 0);
    object_set_position(d.objects.objects[0], 0.0f, 0.0f, at[0]);
    object_set_position(d.objects.objects[1], at[1], 0.0f, 0.0f);
    render_scene(&d.objects, &d.camera);
    brighten(work_frame, 40);
    object_rotate(d.objects.objects[0], 1.0f, 1.0f, -1.0f);
    object_rotate(d.objects.objects[1], 1.0f, -1.0f, 1.0f);
  });
}
BENCHMARK(scene5_objects)
    ->ArgName("place")
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
QN_SUITE(scene7_bump, F + 2 * BUMP + T + 3 * F + 2 * F + M, 1.5,
         twin_bump(work_frame, second_frame, bump_tables(), text(9), phase % 360, 359 - phase % 360,
                   40);
         phase++; stamp_mask(work_frame, maps(15)));

// ---- pixel operations and overlays ------------------------------------------
QN_SUITE(brighten_frame, 2 * F, 1.2, brighten(work_frame, 40));
QN_SUITE(overlay_white_frame, 3 * F, 1.2, overlay_white(work_frame, second_frame));
QN_SUITE(overlay_nonzero_frame, 3 * F, 1.2, overlay_nonzero(work_frame, second_frame));
QN_SUITE(stamp_mask_frame, 2 * F + M, 1.2, stamp_mask(work_frame, maps(15)));
QN_SUITE(rgb_split_logo_frame, F + 3 * LOGO_COPY + 3 * F, 1.2,
         rgb_split_logo(work_frame, second_frame, maps(1), logo_offsets(), phase++ % 10));

// ---- the map lookups alone ----------------------------------------------------
QN_SUITE(map_lookup_two_maps, 3 * F + T, 1.5,
         map_lookup(work_frame, text(2), plane_v, plane_u, phase++));
QN_SUITE(map_lookup_row_map, 2 * F + T, 1.5,
         map_pair_lookup(work_frame, tunnel_maps(), 8, text(3), phase++));
QN_SUITE(polar_tunnel_frame, 4 * F + T, 1.5,
         polar_tunnel(work_frame, polar_maps(), text(4), text(7), phase++, 30));

}  // namespace
