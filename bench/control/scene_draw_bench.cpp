// Each scene's frame drawing, without presenting, against the memory-traffic
// floor of its effects: a memcpy moving the same bytes (a memcpy of n bytes
// reads n and writes n), timed in the same run. "x_floor" is the ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "common/frame.h"
#include "control/timeline.h"
#include "data/object_file.h"
#include "display/display.h"
#include "scene_fixture.h"

// A back end that shows nothing: the drawing never presents (that is the
// loop's job), but the library refers to it.
struct DisplayState {};
DisplayState* display_open(int, int, int, int) { return nullptr; }
void display_present(const std::uint32_t*, const char*) {}
void display_clear() {}
void display_poll_quit() {}
void display_close() {}

namespace {
constexpr double F = FRAME_BYTES;

// Streaming bytes read and written per frame, pass by pass. Textures
// (256 KB) stay in cache and are not counted.
struct SceneCost {
  int scene, position;
  double bytes;
  const char* passes;
};
const SceneCost costs[] = {
    {0, 0, 5 * F + 6 * 262144.0 + 51200, "tile, wobble, blend, logo layer, overlay"},
    {1, 2, 7 * F, "plane lookup 3F, brighten 2F, white overlay 2F"},
    {2, 4, 5 * F, "pair lookup 3F, brighten 2F"},
    {3, 16, 6.25 * F, "sky F, floor 1.25F, overlay 2F, brighten 2F"},
    {4, 20, 4 * F, "pair 8 (row, map_u_e) 2F, brighten 2F"},
    {5, 22, 7 * F, "polar 4F, z-buffer clear F, brighten 2F (3D not counted)"},
    {6, 27, 5 * F, "pair lookup 3F, brighten 2F"},
    {7, 34, 10 * F, "clear F, two images 6F, combine 3F"},
    {8, 40, 5 * F, "pair lookup 3F, brighten 2F"},
};

MODULE module;

void setup() {
  static bool done = false;
  if (done) return;
  done = true;
  scene_fixture_setup();
  // The demo's own objects, when built, for scene 5.
  object_file_read(QN_DATA_DIR "/objs.3dw", &demo_objects);
  music_module = &module;
}

double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

void BM_scene(benchmark::State& bm) {
  setup();
  const SceneCost& c = costs[bm.range(0)];
  TimelineState t{};
  t.scene = static_cast<std::uint8_t>(c.scene);
  module.sngpos = static_cast<SWORD>(c.position);
  module.patpos = 40;
  scene_table[c.scene].enter(t);
  std::int64_t n = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : bm) {
    benchmark::DoNotOptimize(scene_table[c.scene].draw(t));
    if (scene_table[c.scene].tick) scene_table[c.scene].tick(t);
    n++;
  }
  const double scene_s = seconds_since(start);

  static std::vector<std::uint8_t> from(8 * FRAME_BYTES * 2), to(8 * FRAME_BYTES * 2);
  const std::size_t half = static_cast<std::size_t>(c.bytes / 2);
  const auto floor_start = std::chrono::steady_clock::now();
  for (std::int64_t i = 0; i < n; i++) {
    std::memcpy(to.data(), from.data(), half);
    benchmark::ClobberMemory();
  }
  const double floor_s = seconds_since(floor_start);
  bm.counters["x_floor"] = floor_s > 0 ? scene_s / floor_s : 0.0;
  bm.counters["MB_moved"] = c.bytes / 1e6;
  bm.SetLabel(c.passes);
}
}  // namespace

BENCHMARK(BM_scene)->DenseRange(0, 8)->Unit(benchmark::kMicrosecond);
