// The object cull: a whole object is dropped when its bounding sphere lies
// outside the depth range or beside the screen, before any of its vertices
// are touched. The sphere's x and y extent is compared with the side planes at
// the depth of its centre.
#include <cstdint>

#include "common/convert.h"
#include "engine/engine.h"
#include "engine/pass/render.h"
#include "engine/pass/view_case.h"

namespace {

// Integer side-plane bound at integer depth z: trunc(slope * z).
inline std::int64_t plane_at(float slope, std::int64_t z) {
  return to_int32(static_cast<double>(slope) * static_cast<double>(z));
}

template <unsigned C>
void cull_all(ObjectList* list, const Camera* camera) {
  for (int i = list->count - 1; i >= 0; --i) {
    Object* object = list->objects[i];
    const Vec3 v =
        view_point<C>(object->position.x, object->position.y, object->position.z, camera->view);
    // 64-bit so that no sum of a truncated centre and radius can wrap.
    const std::int64_t x = to_int32(v.x), y = to_int32(v.y), z = to_int32(v.z);
    const std::int64_t r = to_int32(object->cull_radius);
    if (z + r < NEAR_Z || z - r > FAR_Z) {
      object->visible = 0;
      continue;
    }
    const bool beside =
        x + r < plane_at(camera->slope_left, z) || x - r > plane_at(camera->slope_right, z) ||
        y + r < plane_at(camera->slope_bottom, z) || y - r > plane_at(camera->slope_top, z);
    if (beside) object->visible = 0;
  }
}

}  // namespace

void cull_objects(ObjectList* list, const Camera* camera) {
  view_case_dispatch(camera, [&](auto c) { cull_all<decltype(c)::value>(list, camera); });
}
