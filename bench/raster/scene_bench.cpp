// One whole frame of the objects scene: the polar tunnel with its backdrop,
// both demo objects placed, rendered and filled, and the white lift; next to
// a memcpy of one frame measured in the same run.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/frame.h"
#include "common/globals.h"
#include "control/tables.h"
#include "data/archive.h"
#include "data/object_file.h"
#include "effects/effects.h"
#include "engine/engine.h"
#include "engine/model.h"
#include "engine/pass/render.h"

namespace {

struct Demo {
  TextureStructure* archive = nullptr;
  Camera camera{};
  ObjectList objects{};
  bool ready = false;
  Demo() {
    const char* dir = std::getenv("QN_DATA_DIR");
    if (chdir(dir ? dir : QN_DEFAULT_DATA_DIR) != 0) return;
    archive = archive_read();
    if (!archive || !frame_allocate() || !tables_allocate()) return;
    camera_init(&camera, 200.0f, 0.0f, 0.0f, -500.0f, 0.0f, 0.0f, 0.0f, 0);
    camera.target = work_frame;
    object_list_init(&objects);
    if (object_file_read("objs.3dw", &objects) != 0 || objects.count < 2) return;
    tables_compute(archive);
    ready = true;
  }
};

// Arg: where the objects are, as in the four motion phases: 0 the first far
// off and flying in, 1 both overlapping at the centre, 2 the second off to
// one side, 3 the first flying away.
void BM_objects_frame(benchmark::State& state) {
  static Demo demo;
  if (!demo.ready) {
    state.SkipWithError("needs zorv.dat and objs.3dw (set QN_DATA_DIR)");
    return;
  }
  const float places[4][2] = {{1500, 700}, {0, 0}, {0, -400}, {3000, -700}};
  const float* at = places[state.range(0)];
  std::vector<std::uint32_t> copy(FRAME_PIXELS);
  using clock = std::chrono::steady_clock;
  double frame_s = 0, copy_s = 0;
  int phase = 0;
  for (auto _ : state) {
    const auto t0 = clock::now();
    std::memcpy(copy.data(), work_frame, FRAME_BYTES);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    const auto t1 = clock::now();
    polar_tunnel(work_frame, demo.archive->text[4], demo.archive->text[7], phase++, 0);
    object_set_position(demo.objects.objects[0], 0.0f, 0.0f, at[0]);
    object_set_position(demo.objects.objects[1], at[1], 0.0f, 0.0f);
    render_scene(&demo.objects, &demo.camera);
    brighten(work_frame, 32);
    benchmark::DoNotOptimize(work_frame);
    benchmark::ClobberMemory();
    const auto t2 = clock::now();
    object_rotate(demo.objects.objects[0], 1.0f, 1.0f, -1.0f);
    object_rotate(demo.objects.objects[1], 1.0f, -1.0f, 1.0f);
    copy_s += std::chrono::duration<double>(t1 - t0).count();
    frame_s += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
  }
  state.counters["frames_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["x_memcpy"] = frame_s / copy_s;
}
BENCHMARK(BM_objects_frame)->ArgName("place")->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
