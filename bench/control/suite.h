// The shared harness of the benchmark suite: the demo's own data loaded once,
// and every operation timed next to its floor, run alternately in the same
// loop so both see the same machine state.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "data/archive.h"
#include "engine/engine.h"
#include "engine/model.h"
#include "engine/pass/render.h"

namespace suite {

struct Demo {
  TextureStructure* archive = nullptr;
  Camera camera{};
  ObjectList objects{};
  bool ready = false;
};
// The archive, the tables and the objects from build/data (QN_DATA_DIR).
Demo& demo();

inline double seconds(std::chrono::steady_clock::time_point a,
                      std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// The floor of an operation moving `traffic` bytes (read plus written): a
// memcpy with the same traffic, half read and half written. The counters:
// best_us and floor_us, the fastest run of each (the machine is shared, and
// the fastest run is the one nothing else got in the way of), their ratio,
// and the goal for that ratio (0: none).
template <typename Op>
void against_floor(benchmark::State& state, std::size_t traffic, double goal, Op op) {
  if (!demo().ready) {
    state.SkipWithError("needs zorv.dat, objs.3dw and music.xm in QN_DATA_DIR");
    return;
  }
  std::vector<char> from(traffic / 2, 1), to(traffic / 2);
  double op_best = 1e9, floor_best = 1e9;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    op();
    benchmark::ClobberMemory();
    const auto t1 = std::chrono::steady_clock::now();
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    const auto t2 = std::chrono::steady_clock::now();
    op_best = std::min(op_best, seconds(t0, t1));
    floor_best = std::min(floor_best, seconds(t1, t2));
    state.SetIterationTime(seconds(t0, t1));
  }
  state.counters["best_us"] = op_best * 1e6;
  state.counters["floor_us"] = floor_best * 1e6;
  state.counters["ratio"] = op_best / floor_best;
  state.counters["goal"] = goal;
}

constexpr double NO_GOAL = 0;

}  // namespace suite

// name, traffic in bytes, goal ratio (0: none), statement.
#define QN_SUITE(name, traffic, goal, ...)                       \
  void name(benchmark::State& s) {                               \
    suite::against_floor(s, traffic, goal, [] { __VA_ARGS__; }); \
  }                                                              \
  BENCHMARK(name)->UseManualTime()->Unit(benchmark::kMicrosecond)
