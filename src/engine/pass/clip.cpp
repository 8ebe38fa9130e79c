// Depth test and near-plane clipping. A face with any vertex in the depth
// range is drawn whole (no far clipping: the z-buffer sorts it out); one that
// reaches behind z = 200 is cut there into a clip polygon held in the face
// record; one that reaches past the screen's side planes is marked so that
// the drawer clips it in 2D.
#include <algorithm>
#include <cstdint>

#include "common/convert.h"
#include "engine/engine.h"
#include "engine/pass/render.h"

namespace {

struct EdgePlanes {
  double left, right, top, bottom;
};

// A point on a truncated border counts as outside (one-unit margin).
inline bool point_outside(const Vec4& p, const EdgePlanes& s) {
  const std::int64_t x = to_int32(p.x), y = to_int32(p.y);
  const double z = p.z;
  return x > std::int64_t{to_int32(s.right * z)} - 1 ||
         x < std::int64_t{to_int32(s.left * z)} + 1 || y > std::int64_t{to_int32(s.top * z)} - 1 ||
         y < std::int64_t{to_int32(s.bottom * z)} + 1;
}

// The crossing of the edge from outside vertex a to inside vertex b with the
// near plane, computed from a's side.
inline void near_crossing(const Vec4& a, const Vec4& b, Vec4* out) {
  const double r = (NEAR_Z - static_cast<double>(a.z)) / (static_cast<double>(a.z) - b.z);
  out->x = static_cast<float>(a.x + (static_cast<double>(a.x) - b.x) * r);
  out->y = static_cast<float>(a.y + (static_cast<double>(a.y) - b.y) * r);
  out->z = static_cast<float>(NEAR_Z);
}

inline std::int32_t near_level(const Vec4& a, const Vec4& b, std::int32_t la, std::int32_t lb) {
  const std::int64_t za = to_int32(a.z);
  const double t = static_cast<double>(NEAR_Z - za) / (static_cast<double>(b.z) - za);
  const std::int64_t level = la + std::int64_t{to_int32(t * (lb - la))};
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(level, 0, 255));
}

// Walks the face's N vertices in order; an inside vertex is kept, an outside
// one gives way to its crossings toward an inside predecessor and then an
// inside successor, at most one of each kind per face. This keeps the
// winding and never yields more than N + 1 points.
template <int N, bool Smooth>
void clip_polygon(const Object* object, Face* face) {
  face->near_clipped = 1;
  bool inside[N];
  for (int k = 0; k < N; ++k) {
    const Vec4& v = object->view_vertices[face->indices[k]];
    face->view_copy[k] = v;
    inside[k] = v.z >= static_cast<float>(NEAR_Z);
  }
  const Vec4* v = face->view_copy;
  const std::int32_t* level = face->vertex_intensity;
  int count = 0;
  // The crossing from outside vertex k toward inside vertex `to`.
  auto cross = [&](int k, int to) {
    near_crossing(v[k], v[to], &face->clip_vertices[count]);
    if constexpr (Smooth)
      face->clip_intensity[count] = near_level(v[k], v[to], level[k], level[to]);
    ++count;
  };
  bool to_pred = false, to_succ = false;
  for (int k = 0; k < N; ++k) {
    if (inside[k]) {
      face->clip_vertices[count] = v[k];
      if constexpr (Smooth) face->clip_intensity[count] = level[k];
      ++count;
      continue;
    }
    const int pred = k == 0 ? N - 1 : k - 1, succ = k == N - 1 ? 0 : k + 1;
    if (inside[pred] && !to_pred) {
      cross(k, pred);
      to_pred = true;
    }
    if (inside[succ] && !to_succ) {
      cross(k, succ);
      to_succ = true;
    }
  }
  face->clip_count = count;
}

template <int N>
void clip_face(const Object* object, Face* face, const EdgePlanes& planes) {
  face->edge_clip = 0;
  face->drawable = 0;
  bool behind = false;
  for (int k = 0; k < N; ++k) {
    const std::int32_t z = to_int32(object->view_vertices[face->indices[k]].z);
    if (z >= NEAR_Z && z <= FAR_Z) face->drawable = 1;
    if (z < NEAR_Z) behind = true;
  }
  if (!face->drawable) return;
  bool outside = false;
  if (behind) {
    clip_near(object, face);
    for (int k = face->clip_count - 1; k >= 0; --k)
      outside |= point_outside(face->clip_vertices[k], planes);
  } else {
    for (int k = N - 1; k >= 0; --k)
      outside |= point_outside(object->view_vertices[face->indices[k]], planes);
  }
  if (outside) face->edge_clip = 1;
}

}  // namespace

void clip_near(const Object* object, Face* face) {
  const bool smooth = face->shading == SHADING_SMOOTH;
  if (face->vertex_count == 3) {
    smooth ? clip_polygon<3, true>(object, face) : clip_polygon<3, false>(object, face);
  } else if (face->vertex_count == 4) {
    smooth ? clip_polygon<4, true>(object, face) : clip_polygon<4, false>(object, face);
  } else {
    face->clip_count = 0;  // not a face the record can hold: never drawn
    face->drawable = 0;
  }
}

void clip_faces(ObjectList* list, const Camera* camera) {
  const EdgePlanes planes = {camera->slope_left, camera->slope_right, camera->slope_top,
                             camera->slope_bottom};
  for (int i = list->count - 1; i >= 0; --i) {
    const Object* object = list->objects[i];
    if (!object->visible) continue;
    for (int f = object->face_count - 1; f >= 0; --f) {
      Face* face = &object->faces[f];
      if (!face->drawable) continue;
      if (face->vertex_count == 3)
        clip_face<3>(object, face, planes);
      else if (face->vertex_count == 4)
        clip_face<4>(object, face, planes);
      else
        face->drawable = 0;
    }
  }
}
