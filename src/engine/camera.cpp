// The camera: placement, the screen's side slopes and its buffers.
#include <cstdint>
#include <cstdlib>

#include "common/convert.h"
#include "common/frame.h"
#include "engine/model.h"

namespace {
std::int32_t camera_counter = 0;
}  // namespace

void camera_init(Camera* camera, float focal, float x, float y, float z, float pitch, float yaw,
                 float roll, int own_target) {
  camera->id = camera_counter++;
  camera->position = {x, y, z, 1.0f};
  camera->pitch = pitch;
  camera->yaw = yaw;
  camera->roll = roll;
  camera->int_angles[0] = to_int32(pitch);
  camera->int_angles[1] = to_int32(yaw);
  camera->int_angles[2] = to_int32(roll);
  camera->focal = focal;
  if (focal > MAX_FOCAL) std::exit(EXIT_FOCAL_TOO_LONG);
  camera->slope_left = static_cast<float>(-160.0 / focal);
  camera->slope_right = static_cast<float>(159.0 / focal);
  camera->slope_top = static_cast<float>(119.0 / focal);
  camera->slope_bottom = static_cast<float>(-120.0 / focal);
  if (own_target) {
    camera->owns_target = 1;
    camera->target = static_cast<std::uint32_t*>(std::malloc(FRAME_BYTES));
    if (!camera->target) std::exit(EXIT_CAMERA_NO_MEMORY);
  } else {
    camera->owns_target = 0;
  }
  camera->zbuffer = static_cast<std::int32_t*>(std::malloc(FRAME_PIXELS * sizeof(std::int32_t)));
  if (!camera->zbuffer) std::exit(EXIT_CAMERA_NO_MEMORY);
}

void camera_destroy(Camera* camera) {
  if (camera->owns_target) {
    std::free(camera->target);
    camera->target = nullptr;
  }
  std::free(camera->zbuffer);
  camera->zbuffer = nullptr;
}
