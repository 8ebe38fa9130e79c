// Reading zorv.dat against reading the same file into one buffer: the ratio
// of their bytes per second is the cost.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "data/archive.h"

namespace {
// The reader opens "zorv.dat" in the current folder and prints a line.
long enter_data_folder() {
  static const long size = [] {
    const char* dir = std::getenv("QN_DATA_DIR");
    if (chdir(dir ? dir : QN_DEFAULT_DATA_DIR) != 0) return 0L;
    std::FILE* f = std::fopen("zorv.dat", "rb");
    if (!f) return 0L;
    std::fseek(f, 0, SEEK_END);
    const long n = std::ftell(f);
    std::fclose(f);
    return n;
  }();
  return size;
}

// The reader's "Unpacking data..." lines go to /dev/null while it runs.
struct QuietStdout {
  int saved;
  QuietStdout() {
    std::fflush(stdout);
    saved = dup(1);
    std::FILE* null = std::fopen("/dev/null", "w");
    if (null) {
      dup2(fileno(null), 1);
      std::fclose(null);
    }
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
  }
};

void BM_ArchiveRead(benchmark::State& state) {
  const long size = enter_data_folder();
  if (size <= 0) return state.SkipWithError("no zorv.dat");
  QuietStdout quiet;
  for (auto _ : state) {
    TextureStructure* archive = archive_read();
    if (!archive) return state.SkipWithError("zorv.dat refused");
    benchmark::DoNotOptimize(archive->text[0][0]);
    archive_free(archive);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ArchiveRead)->Unit(benchmark::kMillisecond);

void BM_ArchiveReadBaseline_WholeFile(benchmark::State& state) {
  const long size = enter_data_folder();
  if (size <= 0) return state.SkipWithError("no zorv.dat");
  for (auto _ : state) {
    std::FILE* f = std::fopen("zorv.dat", "rb");
    void* buffer = std::malloc(static_cast<std::size_t>(size));
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(size), f);
    benchmark::DoNotOptimize(got);
    std::free(buffer);
    std::fclose(f);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ArchiveReadBaseline_WholeFile)->Unit(benchmark::kMillisecond);
}  // namespace
