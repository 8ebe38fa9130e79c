// Each scene's drawing time per frame, one program built natively and for
// node, so that scripts/web.sh --bench can set the page's code against the
// native code on the same machine in the same run (Google Benchmark is not
// built for WebAssembly here). Each row enters its scene at one of its song
// positions as the timeline does, then draws and ticks frames; the best of
// many short runs counts, as the machine is shared.
//   qn_scene_time [FRAMES [RUNS]]     in a folder with zorv.dat and objs.3dw
// Prints "row microseconds" lines, then the tables' computing time.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "common/frame.h"
#include "control/demo.h"
#include "control/tables.h"
#include "control/timeline.h"
#include "data/archive.h"
#include "data/object_file.h"
#include "engine/model.h"

namespace {
struct Row {
  const char* name;
  int scene, position, shown, second, path;  // scene 5: motion phase and the objects' places
};
// Scene 5 in its four motion phases: the first object flying in, both at the
// centre, the second off to one side, the first flying away.
constexpr Row rows[] = {
    {"scene0", 0, 0, 0, 0, 0},
    {"scene1", 1, 2, 0, 0, 0},
    {"scene2", 2, 4, 0, 0, 0},
    {"scene3_floor", 3, 14, 0, 0, 0},
    {"scene3_landscape", 3, 16, 0, 0, 0},
    {"scene4", 4, 20, 0, 0, 0},
    {"scene5_in", 5, 22, 0, 1500, 700},
    {"scene5_centre", 5, 23, 1, 0, 0},
    {"scene5_side", 5, 24, 2, 0, -400},
    {"scene5_away", 5, 25, 3, 3000, -700},
    {"scene6", 6, 27, 0, 0, 0},
    {"scene7", 7, 34, 0, 0, 0},
    {"scene8", 8, 40, 0, 0, 0},
};

double microseconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
      .count();
}
}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 10;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 30;
  demo_archive = archive_read();
  if (!demo_archive || !frame_allocate() || !tables_allocate()) return 1;
  camera_init(&demo_camera, 200.0f, 0.0f, 0.0f, -500.0f, 0.0f, 0.0f, 0.0f, 0);
  demo_camera.target = work_frame;
  object_list_init(&demo_objects);
  if (object_file_read("objs.3dw", &demo_objects) != 0) {
    std::fprintf(stderr, "qn_scene_time: cannot read objs.3dw\n");
    return 1;
  }
  const auto tables_start = std::chrono::steady_clock::now();
  tables_compute(demo_archive);
  const double tables_us = microseconds_since(tables_start);

  static MODULE module;
  music_module = &module;
  std::uint32_t sink = 0;  // keeps the drawing observable
  for (const Row& row : rows) {
    const SceneRow& scene = scene_table[row.scene];
    double best = 1e30;
    for (int r = 0; r < runs; r++) {
      TimelineState t{};
      t.scene = static_cast<std::uint8_t>(row.scene);
      module.sngpos = static_cast<SWORD>(row.position);
      module.patpos = 40;
      scene.enter(t);
      if (row.scene == 5) {
        t.shown = static_cast<std::uint8_t>(row.shown);
        t.second = row.second;
        t.path = row.path;
      }
      const auto start = std::chrono::steady_clock::now();
      for (int f = 0; f < frames; f++) {
        if (const std::uint32_t* image = scene.draw(t)) sink += image[(f * 7919) % FRAME_PIXELS];
        if (scene.tick) scene.tick(t);
      }
      const double us = microseconds_since(start) / frames;
      if (us < best) best = us;
    }
    std::printf("%s %.1f\n", row.name, best);
  }
  std::printf("tables_compute %.0f\n", tables_us);
  std::fprintf(stderr, "qn_scene_time: pixel sum %u\n", sink);
  return 0;
}
