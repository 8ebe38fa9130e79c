// One presentation through SDL (dummy video driver) against a memcpy of the
// frame: the ratio of their bytes per second is the cost. Then the scaled
// presentations: qn's -w2..-w4 windows (the full screen's copy is the same)
// and the console's shadow of a larger framebuffer, each timed alternately
// with a memcpy of the bytes it writes; the counters give the fastest run of
// each and their ratio (goal 1.5).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/frame.h"
#include "display/display.h"
#include "display/display_scale.h"

namespace {
// display_open's start-up line goes to /dev/null.
bool open_quietly(int windowed) {
  std::fflush(stdout);
  const int saved = dup(1);
  const int null_fd = open("/dev/null", O_WRONLY);
  if (null_fd >= 0) dup2(null_fd, 1);
  const bool opened = display_open(FRAME_WIDTH, FRAME_HEIGHT, 32, windowed) != nullptr;
  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  if (null_fd >= 0) close(null_fd);
  return opened;
}

void BM_PresentDummy(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (!open_quietly(1)) return state.SkipWithError("no display");
  std::vector<std::uint32_t> frame(FRAME_PIXELS, 0x00336699u);
  for (auto _ : state) {
    display_present(frame.data());
    display_poll_quit();
  }
  display_close();
  state.SetBytesProcessed(state.iterations() * FRAME_BYTES);
}
BENCHMARK(BM_PresentDummy);

void BM_PresentBaseline_Memcpy(benchmark::State& state) {
  std::vector<std::uint32_t> from(FRAME_PIXELS, 0x00336699u), to(FRAME_PIXELS);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), FRAME_BYTES);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * FRAME_BYTES);
}
BENCHMARK(BM_PresentBaseline_Memcpy);

double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// `op` against a memcpy of `output` bytes, alternately in one loop.
template <typename Op>
void against_memcpy(benchmark::State& state, std::size_t output, Op op) {
  std::vector<unsigned char> from(output, 1), to(output);
  double op_best = 1e9, floor_best = 1e9;
  for (auto _ : state) {
    auto t = std::chrono::steady_clock::now();
    op();
    benchmark::ClobberMemory();
    const double op_time = seconds_since(t);
    t = std::chrono::steady_clock::now();
    std::memcpy(to.data(), from.data(), output);
    benchmark::ClobberMemory();
    floor_best = std::min(floor_best, seconds_since(t));
    op_best = std::min(op_best, op_time);
    state.SetIterationTime(op_time);
  }
  state.counters["best_us"] = op_best * 1e6;
  state.counters["floor_us"] = floor_best * 1e6;
  state.counters["ratio"] = op_best / floor_best;
  state.counters["goal"] = 1.5;
}

// qn's scaled window: lock, scaled copy, unlock, update.
void BM_PresentScaled(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (!open_quietly(scale)) return state.SkipWithError("no display");
  std::vector<std::uint32_t> frame(FRAME_PIXELS, 0x00336699u);
  display_present(frame.data());  // the one-off clear of the border
  against_memcpy(state, static_cast<std::size_t>(FRAME_BYTES) * scale * scale,
                 [&] { display_present(frame.data()); });
  display_close();
}
BENCHMARK(BM_PresentScaled)->DenseRange(2, 4)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The console's copy of its shadow onto a larger framebuffer, 2, 3 and 4
// bytes a pixel, scale 2 (640x480) and 3.
void BM_ScaledCopy(benchmark::State& state) {
  const int bytes = static_cast<int>(state.range(0)), scale = static_cast<int>(state.range(1));
  const int pitch = FRAME_WIDTH * scale * bytes;
  std::vector<unsigned char> src(static_cast<std::size_t>(FRAME_PIXELS) * bytes, 7);
  std::vector<unsigned char> dst(static_cast<std::size_t>(pitch) * FRAME_HEIGHT * scale);
  std::vector<unsigned char> line(static_cast<std::size_t>(pitch));
  against_memcpy(state, dst.size(), [&] {
    scaled_copy(src.data(), FRAME_WIDTH, FRAME_HEIGHT, bytes, dst.data(), pitch, scale,
                line.data());
  });
}
BENCHMARK(BM_ScaledCopy)
    ->ArgsProduct({{4, 3, 2}, {2, 3}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
}  // namespace
