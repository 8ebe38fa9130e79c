// World to view space: the camera's view matrix, the placing of object
// vertices in the world and their transform into the camera's frame.
#include <cmath>

#include "engine/engine.h"
#include "engine/pass/render.h"
#include "engine/pass/view_case.h"

namespace {

// The eye turns about Y (yaw), then X (pitch), then Z (roll); the rotation
// part is the transpose of Rz(-roll)·Rx(-pitch)·Ry(-yaw). A zero angle has sine
// 0 and cosine 1 as constants, so its trigonometry is never evaluated, and
// only the entries that differ from the identity are written.
// Kept out of line, as rotation_make is: inlined, GCC 12's SLP vectoriser
// builds the translation row from the unrounded double entries instead of the
// stored floats.
template <unsigned C>
[[gnu::noinline]] void view_rotation(const Camera* camera, Mat4* view) {
  double sx = 0.0, cx = 1.0, sy = 0.0, cy = 1.0, sz = 0.0, cz = 1.0;
  if constexpr ((C & TURN_PITCH) != 0) {
    sx = std::sin(-static_cast<double>(camera->pitch));
    cx = std::cos(-static_cast<double>(camera->pitch));
  }
  if constexpr ((C & TURN_YAW) != 0) {
    sy = std::sin(-static_cast<double>(camera->yaw));
    cy = std::cos(-static_cast<double>(camera->yaw));
  }
  if constexpr ((C & TURN_ROLL) != 0) {
    sz = std::sin(-static_cast<double>(camera->roll));
    cz = std::cos(-static_cast<double>(camera->roll));
  }
  Mat4& m = *view;
  m = Mat4{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  auto put = [&m](int row, int col, double v) {
    if (view_entry(C, row, col) == ENTRY_ANY) m.m[row][col] = static_cast<float>(v);
  };
  put(0, 0, cy * cz - sz * sx * sy);
  put(1, 0, -sz * cx);
  put(2, 0, sz * sx * cy + cz * sy);
  put(0, 1, cz * sx * sy + sz * cy);
  put(1, 1, cz * cx);
  put(2, 1, sz * sy - cz * sx * cy);
  put(0, 2, -cx * sy);
  put(1, 2, sx);
  put(2, 2, cx * cy);
}

// The translation row from the stored (float) rotation entries.
template <unsigned C>
void view_build(Camera* camera) {
  Mat4& m = camera->view;
  view_rotation<C>(camera, &m);
  const double px = -static_cast<double>(camera->position.x);
  const double py = -static_cast<double>(camera->position.y);
  const double pz = -static_cast<double>(camera->position.z);
  m.m[3][0] = static_cast<float>(view_column<C, 0>(px, py, pz, m));
  m.m[3][1] = static_cast<float>(view_column<C, 1>(px, py, pz, m));
  m.m[3][2] = static_cast<float>(view_column<C, 2>(px, py, pz, m));
}

template <unsigned C>
void view_transform(ObjectList* list, const Mat4& m) {
  for (int i = list->count - 1; i >= 0; --i) {
    Object* object = list->objects[i];
    if (!object->visible) continue;
    const Vec4* in = object->world_vertices;
    Vec4* out = object->view_vertices;
    for (int k = object->vertex_count - 1; k >= 0; --k) {
      const Vec3 v = view_point<C>(in[k].x, in[k].y, in[k].z, m);
      out[k].x = v.x;
      out[k].y = v.y;
      out[k].z = v.z;
    }
  }
}

}  // namespace

void build_view_matrix(Camera* camera) {
  view_case_dispatch(camera, [camera](auto c) { view_build<decltype(c)::value>(camera); });
}

void place_vertices(ObjectList* list) {
  for (int i = list->count - 1; i >= 0; --i) {
    Object* object = list->objects[i];
    if (!object->visible) continue;
    const Vec4 p = object->position;
    const Vec4* in = object->vertices;
    Vec4* out = object->world_vertices;
    for (int k = object->vertex_count - 1; k >= 0; --k) {
      out[k].x = in[k].x + p.x;
      out[k].y = in[k].y + p.y;
      out[k].z = in[k].z + p.z;
    }
  }
}

void transform_vertices(ObjectList* list, const Camera* camera) {
  view_case_dispatch(camera,
                     [&](auto c) { view_transform<decltype(c)::value>(list, camera->view); });
}
