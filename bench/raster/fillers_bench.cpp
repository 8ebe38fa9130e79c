// The fillers in pixels per second, each next to a baseline measured in the
// same run: a plain fill of as many pixel words as the triangles cover, plus
// the z-buffer clear that both pay.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "common/frame.h"
#include "engine/engine.h"
#include "raster/raster.h"

namespace {

struct Tri {
  ScreenVertex v[3];
};

// Triangles of the objects' size (edges of some 10 to 40 pixels), either all
// on screen or straddling the edges.
std::vector<Tri> make_triangles(bool straddling) {
  std::mt19937 rng(4);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::vector<Tri> tris(400);
  for (Tri& t : tris) {
    const int cx = straddling ? (any(0, 1) ? any(-15, 15) : any(305, 335)) : any(40, 280);
    const int cy = straddling ? any(-15, 255) : any(40, 200);
    for (ScreenVertex& v : t.v) {
      v.x = std::clamp(cx + any(-20, 20), straddling ? -100 : 0, straddling ? 420 : 319);
      v.y = std::clamp(cy + any(-20, 20), straddling ? -100 : 0, straddling ? 340 : 239);
      v.z = any(300, 2500);
      v.i = any(20, 255);
    }
  }
  return tris;
}

struct Buffers {
  std::vector<std::uint32_t> target = std::vector<std::uint32_t>(FRAME_PIXELS);
  std::vector<std::int32_t> depth = std::vector<std::int32_t>(FRAME_PIXELS, ZBUFFER_EMPTY);
  std::uint32_t shades[256];
  Buffers() {
    for (int i = 0; i < 256; ++i) shades[i] = static_cast<std::uint32_t>(i * 0x010101);
  }
  RasterTarget raster() {
    return {FrameSpan(target.data(), FRAME_PIXELS), DepthSpan(depth.data(), FRAME_PIXELS)};
  }
  long covered() const {
    return std::count_if(depth.begin(), depth.end(),
                         [](std::int32_t d) { return d != ZBUFFER_EMPTY; });
  }
};

enum Kind { SHADED, FLAT };

void draw(Kind kind, bool clip, Buffers& b, const std::vector<Tri>& tris) {
  const RasterTarget target = b.raster();
  for (const Tri& t : tris) {
    if (kind == SHADED)
      draw_shaded_triangle(target, b.shades, clip, t.v[0], t.v[1], t.v[2]);
    else
      draw_flat_triangle(target, 0xFF, clip, t.v[0], t.v[1], t.v[2]);
  }
}

// Arg 0: 0 shaded, 1 flat; arg 1: 0 on-screen triangles (plain fillers),
// 1 on-screen triangles through the clipping fillers, 2 straddling the edges.
void BM_fillers(benchmark::State& state) {
  const Kind kind = state.range(0) == 0 ? SHADED : FLAT;
  const bool clip = state.range(1) != 0;
  const std::vector<Tri> tris = make_triangles(state.range(1) == 2);
  Buffers b;
  // Pixels the triangles write once the z-buffer is clear: one pass tells.
  draw(kind, clip, b, tris);
  const long pixels = b.covered();
  std::vector<std::uint32_t> baseline_dest(static_cast<std::size_t>(pixels) + 1);

  using clock = std::chrono::steady_clock;
  double filler_s = 0, baseline_s = 0;
  for (auto _ : state) {
    const auto t0 = clock::now();
    std::fill(b.depth.begin(), b.depth.end(), ZBUFFER_EMPTY);
    std::fill(baseline_dest.begin(), baseline_dest.end(),
              static_cast<std::uint32_t>(t0.time_since_epoch().count()));
    benchmark::DoNotOptimize(baseline_dest.data());
    benchmark::ClobberMemory();
    const auto t1 = clock::now();
    std::fill(b.depth.begin(), b.depth.end(), ZBUFFER_EMPTY);
    draw(kind, clip, b, tris);
    benchmark::DoNotOptimize(b.target.data());
    benchmark::ClobberMemory();
    const auto t2 = clock::now();
    baseline_s += std::chrono::duration<double>(t1 - t0).count();
    filler_s += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
  }
  state.counters["pixels"] = static_cast<double>(pixels);
  state.counters["pixels_per_s"] = benchmark::Counter(
      static_cast<double>(pixels), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["x_baseline"] = filler_s / baseline_s;
}
BENCHMARK(BM_fillers)
    ->ArgNames({"flat", "clip"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
