// The four console converters, each next to a memcpy of the bytes it writes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "display/display_vga_convert.h"

namespace {
std::vector<std::uint32_t> source(76800, 0x00123456);
std::vector<unsigned char> screen(76800 * 4);

void BM_convert(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0));
  const PixelConverter convert = converter_for_depth(depth);
  for (auto _ : state) {
    convert(source.data(), screen.data(), 76800);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 76800 * 4);
}

// The floor: copy as many bytes as the converter writes.
void BM_memcpy_output(benchmark::State& state) {
  const std::size_t bytes = static_cast<std::size_t>(state.range(0)) * 76800;
  for (auto _ : state) {
    std::memcpy(screen.data(), source.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 76800 * 4);
}
}  // namespace

BENCHMARK(BM_convert)->Arg(32)->Arg(24)->Arg(16)->Arg(15);
BENCHMARK(BM_memcpy_output)->Arg(4)->Arg(3)->Arg(2);
