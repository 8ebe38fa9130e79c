// The rest of a frame's road and the start-up work: the render pass with the
// face drawer on the demo's objects, the z-buffer clear, the four console
// converters, the SDL present copy and the precalculation; plus the data
// every benchmark of the suite shares.
#include <SDL/SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "bench/control/suite.h"
#include "common/frame.h"
#include "control/tables.h"
#include "data/object_file.h"
#include "display/display.h"
#include "display/display_vga_convert.h"
#include "effects/effects.h"

namespace suite {

Demo& demo() {
  static Demo d;
  static bool tried = false;
  if (tried) return d;
  tried = true;
  const char* dir = std::getenv("QN_DATA_DIR");
  if (chdir(dir ? dir : QN_DEFAULT_DATA_DIR) != 0) return d;
  d.archive = archive_read();
  if (!d.archive || !frame_allocate() || !tables_allocate()) return d;
  camera_init(&d.camera, 200.0f, 0.0f, 0.0f, -500.0f, 0.0f, 0.0f, 0.0f, 0);
  d.camera.target = work_frame;
  object_list_init(&d.objects);
  if (object_file_read("objs.3dw", &d.objects) != 0 || d.objects.count < 2) return d;
  tables_compute(d.archive);
  // What the overlays lay over: a text stamped on black, as in scenes 1 and 3.
  std::fill_n(second_frame, FRAME_PIXELS, 0u);
  stamp_mask(second_frame, d.archive->maps[8]);
  d.ready = true;
  return d;
}

}  // namespace suite

namespace {

constexpr std::size_t F = FRAME_BYTES;

// What the precalculation writes: 19 tables of 76,800 words, the floor rows
// and the small tables.
constexpr std::size_t TABLE_BYTES =
    19 * F + 120 * 320 * 4 + (2 * 10 + 4 * 360 + 256 + 320 + 240 + 2 * 120) * 4;
QN_SUITE(precalc, TABLE_BYTES, suite::NO_GOAL, tables_compute(suite::demo().archive));

// render_scene with draw_faces on the demo's two objects in the four motion
// phases; the floor is the z-buffer fill plus one frame read and written.
void render_objects(benchmark::State& state) {
  static const float places[4][2] = {{1500, 700}, {0, 0}, {0, -400}, {3000, -700}};
  const float* at = places[state.range(0)];
  suite::against_floor(state, F + 2 * F, suite::NO_GOAL, [at] {
    suite::Demo& d = suite::demo();
    object_set_position(d.objects.objects[0], 0.0f, 0.0f, at[0]);
    object_set_position(d.objects.objects[1], at[1], 0.0f, 0.0f);
    render_scene(&d.objects, &d.camera);
    object_rotate(d.objects.objects[0], 1.0f, 1.0f, -1.0f);
    object_rotate(d.objects.objects[1], 1.0f, -1.0f, 1.0f);
  });
}
BENCHMARK(render_objects)
    ->ArgName("place")
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The render pass's z-buffer clear, written the same way.
QN_SUITE(zbuffer_clear, F, 1.2,
         std::fill_n(suite::demo().camera.zbuffer, FRAME_PIXELS, ZBUFFER_EMPTY));

// The console converters: a frame read, 4, 3 or 2 bytes a pixel written.
std::vector<unsigned char> screen(F);
template <int depth>
void convert(benchmark::State& state) {
  const std::size_t out = static_cast<std::size_t>(depth == 15 ? 16 : depth) / 8 * FRAME_PIXELS;
  suite::against_floor(state, F + out, 1.2,
                       [] { converter_for_depth(depth)(work_frame, screen.data(), FRAME_PIXELS); });
}
BENCHMARK(convert<32>)->Name("convert_32")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(convert<24>)->Name("convert_24")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(convert<16>)->Name("convert_16")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(convert<15>)->Name("convert_15")->UseManualTime()->Unit(benchmark::kMicrosecond);

// qn's present: lock, copy, unlock and update of the 320x240x32 surface, on
// SDL's dummy video driver so only our copy and the library's calls count.
void sdl_present(benchmark::State& state) {
  static bool open = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    return display_open(FRAME_WIDTH, FRAME_HEIGHT, 32, 1) != nullptr;
  }();
  if (!open) {
    state.SkipWithError("SDL could not open its dummy display");
    return;
  }
  suite::against_floor(state, 2 * F, 1.2, [] { display_present(work_frame); });
}
BENCHMARK(sdl_present)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
