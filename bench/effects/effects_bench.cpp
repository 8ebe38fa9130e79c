// Each operation timed next to a memcpy with the same memory traffic (bytes
// read plus bytes written), run alternately in the same loop; "ratio" is
// operation time over memcpy time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "common/frame.h"
#include "control/tables.h"
#include "data/archive.h"
#include "effects/channels.h"
#include "effects/effects.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t F = FRAME_BYTES, M = FRAME_PIXELS, T = TEXTURE_PIXELS * 4;

std::vector<std::uint32_t> noise(std::size_t n, std::uint32_t seed) {
  std::vector<std::uint32_t> v(n);
  std::mt19937 rng(seed);
  for (auto& w : v) w = rng();
  return v;
}
std::vector<std::uint32_t> picture_a = noise(FRAME_PIXELS, 1), picture_b = noise(FRAME_PIXELS, 2);
std::vector<std::uint8_t> mask(FRAME_PIXELS);

TextureStructure* bench_archive() {
  static std::vector<std::uint32_t> relief = noise(FRAME_PIXELS, 3);
  static std::uint32_t* text[10] = {};
  static std::uint8_t* maps[1] = {};
  for (int k = 0; k < 9; k++) text[k] = relief.data();
  static TextureStructure archive{text, maps};
  return &archive;
}

void tables_ready() {
  static bool done = false;
  if (done) return;
  if (!frame_allocate() || !tables_allocate()) std::abort();
  tables_compute(bench_archive());
  for (std::size_t i = 0; i < mask.size(); i++) mask[i] = (i * 2654435761u) >> 28;
  done = true;
}

template <typename Op>
void against_memcpy(benchmark::State& state, std::size_t traffic, Op op) {
  tables_ready();
  std::vector<char> from(traffic / 2, 1), to(traffic / 2);
  double op_s = 0, copy_s = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    op();
    benchmark::ClobberMemory();
    const auto t1 = Clock::now();
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::ClobberMemory();
    const auto t2 = Clock::now();
    const double s = std::chrono::duration<double>(t1 - t0).count();
    op_s += s;
    copy_s += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(s);
  }
  state.counters["memcpy_us"] = copy_s / state.iterations() * 1e6;
  state.counters["ratio"] = op_s / copy_s;
}

#define QN_BENCH(name, traffic, ...)                 \
  void name(benchmark::State& s) {                   \
    against_memcpy(s, traffic, [] { __VA_ARGS__; }); \
  }                                                  \
  BENCHMARK(name)->UseManualTime()->Unit(benchmark::kMicrosecond)

// Writes every table: about 6.9 MB.
QN_BENCH(precalc, 2 * (22 * F + 4 * M * 4), tables_compute(bench_archive()));
QN_BENCH(brighten_frame, 2 * F, brighten(work_frame, 40));
// The frame-wide sum the effects use, and the per-pixel inline form in a plain loop.
QN_BENCH(add_saturate_frame, 3 * F,
         channels::sum_span(work_frame, picture_a.data(), picture_b.data(), 0, FRAME_PIXELS));
QN_BENCH(add_saturate_per_pixel, 3 * F, const std::uint32_t* a = picture_a.data();
         const std::uint32_t* b = picture_b.data();
         for (int i = 0; i < FRAME_PIXELS; i++) work_frame[i] = channels::add3(a[i], b[i], 0));
QN_BENCH(stamp_mask_frame, 2 * F + M, stamp_mask(work_frame, mask.data()));
QN_BENCH(overlay_white_frame, 3 * F, overlay_white(work_frame, picture_a.data()));
QN_BENCH(overlay_nonzero_frame, 3 * F, overlay_nonzero(work_frame, picture_a.data()));
// Clear, three copies over 160 rows (mask read, words read and written), overlay.
QN_BENCH(rgb_split_logo_frame, F + 3 * (M * 2 / 3 + 2 * F * 2 / 3) + 3 * F,
         rgb_split_logo(work_frame, second_frame, mask.data(), logo_offsets(), 3));
QN_BENCH(warped_plane, 3 * F + T, map_lookup(work_frame, picture_a.data(), plane_v, plane_u, 9));
QN_BENCH(map_pair_1, 3 * F + T, map_pair_lookup(work_frame, tunnel_maps(), 1, picture_a.data(), 9));
QN_BENCH(map_pair_3_row, 2 * F + T,
         map_pair_lookup(work_frame, tunnel_maps(), 3, picture_a.data(), 9));
QN_BENCH(map_pair_8_row, 2 * F + T,
         map_pair_lookup(work_frame, tunnel_maps(), 8, picture_a.data(), 9));
QN_BENCH(floor_flat, F + F / 2 + T,
         floor_landscape(work_frame, floor_maps(), picture_a.data(), mask.data(), 5, -3, false));
QN_BENCH(floor_landscape_on, F + F / 2 + T + T / 4,
         floor_landscape(work_frame, floor_maps(), picture_a.data(), mask.data(), 5, -3, true));
QN_BENCH(polar_with_backdrop, 4 * F + T,
         polar_tunnel(work_frame, polar_maps(), picture_a.data(), picture_b.data(), 7, 30));
// Tile read and frame written, wobble built, 65,536 pixels blended.
QN_BENCH(opening_background_frame, F + T + 2 * T + 3 * T,
         opening_background(second_frame, wobble_image, wobble_tables(), picture_a.data(),
                            picture_b.data(), 11, 45));
// Clear, two images of 254x254 (relief, texels, writes), combine.
QN_BENCH(twin_bump_frame, F + 2 * 4 * T + 3 * F,
         twin_bump(work_frame, second_frame, bump_tables(), picture_a.data(), 40, 300, 20));

}  // namespace
