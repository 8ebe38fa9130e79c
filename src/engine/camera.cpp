// The camera: placement, the screen's side slopes, its buffers and its moves.
#include <cmath>
#include <cstdlib>

#include "common/convert.h"
#include "engine/engine.h"

namespace {
std::int32_t camera_counter = 0;
constexpr double PITCH_LIMIT = 1.570796326795;
constexpr float PITCH_CLAMP = 1.5707964f;

// Adds an increment in degrees to an angle held within +-pi/2, testing the
// limit only on the side the increment moves toward.
float angle_add_clamped(float angle, float degrees) {
  double s = double(angle) + double(degrees) * double(DEG_TO_RAD);
  if (degrees > 0.0f) return s > PITCH_LIMIT ? PITCH_CLAMP : float(s);
  return s < -PITCH_LIMIT ? -PITCH_CLAMP : float(s);
}
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
  camera->slope_left = float(-160.0 / focal);
  camera->slope_right = float(159.0 / focal);
  camera->slope_top = float(119.0 / focal);
  camera->slope_bottom = float(-120.0 / focal);
  if (own_target) {
    camera->owns_target = 1;
    camera->target = static_cast<std::uint32_t*>(std::malloc(76800 * sizeof(std::uint32_t)));
    if (!camera->target) std::exit(EXIT_CAMERA_NO_MEMORY);
  } else {
    camera->owns_target = 0;
  }
  camera->zbuffer = static_cast<std::int32_t*>(std::malloc(76800 * sizeof(std::int32_t)));
  if (!camera->zbuffer) std::exit(EXIT_CAMERA_NO_MEMORY);
}

void camera_destroy(Camera* camera) {
  if (camera->owns_target) std::free(camera->target);
  std::free(camera->zbuffer);
  if (camera->owns_target) camera->target = nullptr;
  camera->zbuffer = nullptr;
}

void camera_turn(Camera* camera, float dpitch, float dyaw, float droll) {
  if (dpitch != 0.0f) camera->pitch = angle_add_clamped(camera->pitch, dpitch);
  if (dyaw != 0.0f) camera->yaw = float(double(camera->yaw) + double(dyaw) * double(DEG_TO_RAD));
  if (droll != 0.0f) camera->roll = angle_add_clamped(camera->roll, droll);
}

void camera_advance(Camera* camera, float distance) {
  const double p = camera->pitch, y = camera->yaw, d = distance;
  Vec4& pos = camera->position;
  if (p == 0.0 && y == 0.0) {
    pos.z = float(double(pos.z) + d);
  } else if (p == 0.0) {
    pos.x = float(double(pos.x) + double(float(d * std::sin(y))));
    pos.z = float(double(pos.z) + double(float(d * std::cos(y))));
  } else if (y == 0.0) {
    pos.y = float(double(pos.y) + double(float(-d * std::sin(p))));
    pos.z = float(double(pos.z) + double(float(d * std::cos(p))));
  } else {
    const double cp = std::cos(p);
    pos.x = float(double(pos.x) + double(float(d * std::sin(y) * cp)));
    pos.y = float(double(pos.y) + double(float(-d * std::sin(p))));
    pos.z = float(double(pos.z) + double(float(d * std::cos(y) * cp)));
  }
}
