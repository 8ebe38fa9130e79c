// The render pass on two objects of the demo's size, drawing excluded, next
// to a memcpy of the vertex arrays the pass reads and writes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "engine/model.h"
#include "engine/pass/render.h"
#include "raster/raster.h"

// Drawing is left out: this definition stands in for the face drawer, so
// only the stages up to clipping are timed.
void draw_faces(const ObjectList*, const RasterTarget&, float) {}

namespace {

// A closed tube of `along` rings of `around` vertices about a circle in the
// x-y plane, two triangles a quad, turned outward.
Object* make_tube(int along, int around, float radius, float tube, float x, float z, bool smooth) {
  Object* object = object_create(along * around, 2 * along * around);
  object->enabled = 1;
  object->smooth = smooth;
  object->position = {x, 0, z, 1};
  object->cull_radius = (radius + tube) * 4 / 3;
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < along; ++i)
    for (int j = 0; j < around; ++j) {
      const double t = 2 * pi * i / along, a = 2 * pi * j / around;
      const double nx = std::cos(a) * std::cos(t), ny = std::cos(a) * std::sin(t), nz = std::sin(a);
      const int k = i * around + j;
      object->vertices[k] = {static_cast<float>(radius * std::cos(t) + tube * nx),
                             static_cast<float>(radius * std::sin(t) + tube * ny),
                             static_cast<float>(tube * nz), 1};
      object->vertex_normals[k] = {static_cast<float>(nx), static_cast<float>(ny),
                                   static_cast<float>(nz), 1};
    }
  Face* face = object->faces;
  for (int i = 0; i < along; ++i)
    for (int j = 0; j < around; ++j) {
      const int a = i * around + j, b = (i + 1) % along * around + j;
      const int c = (i + 1) % along * around + (j + 1) % around, d = i * around + (j + 1) % around;
      const int tris[2][3] = {{a, c, b}, {a, d, c}};
      for (const auto& tri : tris) {
        face->vertex_count = 3;
        face->shading = smooth ? SHADING_SMOOTH : SHADING_FLAT;
        for (int k = 0; k < 3; ++k) face->indices[k] = tri[k];
        const Vec4& n = object->vertex_normals[tri[0]];
        face->normal = {n.x, n.y, n.z};
        ++face;
      }
    }
  return object;
}

struct Scene {
  ObjectList list;
  Camera camera;
  int vertices = 0;
  Scene() {
    object_list_init(&list);
    camera_init(&camera, 200, 0, 0, -500, 0, 0, 0, 1);
    list.objects[list.count++] = make_tube(120, 12, 108, 15, -120, 700, true);
    list.objects[list.count++] = make_tube(48, 10, 86, 40, 150, 900, false);
    for (int i = 0; i < list.count; ++i) vertices += list.objects[i]->vertex_count;
  }
  ~Scene() {
    for (int i = 0; i < list.count; ++i) object_free(list.objects[i]);
    camera_destroy(&camera);
  }
};

void per_vertex(benchmark::State& state, int vertices) {
  state.counters["vertices"] = vertices;
  state.counters["per_vertex"] = benchmark::Counter(
      vertices, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Arg 0: the demo's camera, no rotation; 1: a camera turned about all three axes.
void BM_render_scene(benchmark::State& state) {
  Scene scene;
  if (state.range(0)) {
    scene.camera.pitch = 0.05f;
    scene.camera.yaw = -0.04f;
    scene.camera.roll = 0.3f;
  }
  for (auto _ : state) {
    render_scene(&scene.list, &scene.camera);
    benchmark::ClobberMemory();
  }
  per_vertex(state, scene.vertices);
}

// One object's vertex arrays copied as the pass reads and writes them
// (object to world, world to view).
void copy_vertices(Object* object) {
  const std::size_t bytes = sizeof(Vec4) * static_cast<std::size_t>(object->vertex_count);
  std::memcpy(object->world_vertices, object->vertices, bytes);
  std::memcpy(object->view_vertices, object->world_vertices, bytes);
}

// The floor: the vertex copies alone.
void BM_memcpy_vertices(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    for (int i = 0; i < scene.list.count; ++i) copy_vertices(scene.list.objects[i]);
    benchmark::ClobberMemory();
  }
  per_vertex(state, scene.vertices);
}

// A wider floor: the vertex copies plus one copy of every face record and one
// fill of the z-buffer, the other memory the pass sweeps each frame.
void BM_memcpy_records(benchmark::State& state) {
  Scene scene;
  std::size_t most = 0;
  for (int i = 0; i < scene.list.count; ++i)
    most = std::max(most, static_cast<std::size_t>(scene.list.objects[i]->face_count));
  std::vector<Face> spare(most);
  for (auto _ : state) {
    for (int i = 0; i < scene.list.count; ++i) {
      Object* object = scene.list.objects[i];
      copy_vertices(object);
      std::memcpy(spare.data(), object->faces,
                  sizeof(Face) * static_cast<std::size_t>(object->face_count));
    }
    std::fill_n(scene.camera.zbuffer, 320 * 240, ZBUFFER_EMPTY);
    benchmark::ClobberMemory();
  }
  per_vertex(state, scene.vertices);
}

}  // namespace

BENCHMARK(BM_render_scene)->Arg(0)->Arg(1);
BENCHMARK(BM_memcpy_vertices);
BENCHMARK(BM_memcpy_records);
