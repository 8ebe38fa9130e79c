// One presentation through SDL (dummy video driver) against a memcpy of the
// frame: the ratio of their bytes per second is the cost.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/frame.h"
#include "display/display.h"

namespace {
// display_open's start-up line goes to /dev/null.
bool open_quietly() {
  std::fflush(stdout);
  const int saved = dup(1);
  const int null_fd = open("/dev/null", O_WRONLY);
  if (null_fd >= 0) dup2(null_fd, 1);
  const bool opened = display_open(FRAME_WIDTH, FRAME_HEIGHT, 32, 1) != nullptr;
  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  if (null_fd >= 0) close(null_fd);
  return opened;
}

void BM_PresentDummy(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (!open_quietly()) return state.SkipWithError("no display");
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
}  // namespace
