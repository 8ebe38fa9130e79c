// The per-tick spin of the demo's objects and the start-up load of
// "objs.3dw", each against a memcpy of the bytes it touches.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "data/object_file.h"
#include "engine/engine.h"
#include "engine/model.h"

namespace {
struct Loaded {
  ObjectList list;
  Loaded() {
    object_list_init(&list);
    if (object_file_read(QN_DATA_DIR "/objs.3dw", &list) != 0) list.count = 0;
  }
  ~Loaded() { object_list_destroy(&list); }
};

// Bytes object_rotate reads and writes: vertices, face normals and, when
// smooth, vertex normals.
std::size_t rotate_bytes(const Object* o) {
  return static_cast<std::size_t>(o->vertex_count) * sizeof(Vec4) * (o->smooth ? 2 : 1) +
         static_cast<std::size_t>(o->face_count) * sizeof(Vec3);
}

void BM_ObjectRotate(benchmark::State& state) {
  Loaded l;
  if (l.list.count < 2) return state.SkipWithError("objs.3dw not built");
  for (auto _ : state) {
    object_rotate(l.list.objects[0], 1, 1, -1);
    object_rotate(l.list.objects[1], 1, -1, 1);
    benchmark::ClobberMemory();
  }
  const std::size_t bytes = rotate_bytes(l.list.objects[0]) + rotate_bytes(l.list.objects[1]);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void BM_ObjectRotateBaselineMemcpy(benchmark::State& state) {
  Loaded l;
  if (l.list.count < 2) return state.SkipWithError("objs.3dw not built");
  const std::size_t n = rotate_bytes(l.list.objects[0]) + rotate_bytes(l.list.objects[1]);
  std::vector<char> a(n), b(n);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

void BM_ObjectFileRead(benchmark::State& state) {
  for (auto _ : state) {
    Loaded l;
    benchmark::DoNotOptimize(l.list.count);
  }
}

BENCHMARK(BM_ObjectRotate);
BENCHMARK(BM_ObjectRotateBaselineMemcpy);
BENCHMARK(BM_ObjectFileRead);
}  // namespace
