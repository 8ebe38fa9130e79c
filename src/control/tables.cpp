// The table buffers and their allocation, in the fixed start-up order.
#include "control/tables.h"

#include <cstddef>
#include <cstdlib>

#include "common/frame.h"

std::uint32_t* work_frame;
std::uint32_t* second_frame;
std::uint32_t* wobble_image;
std::int32_t* logo_row_offsets;
std::int32_t* logo_col_offsets;
std::int32_t* path_a_x;
std::int32_t* path_a_y;
std::int32_t* path_b_x;
std::int32_t* path_b_y;
std::int32_t* wobble;
float* column_warp;
float* row_warp;
float* depth_a;
float* depth_b;
float* depth_c;
float* depth_d;
std::int32_t* floor_u;
std::int32_t* floor_v;
std::int32_t* floor_rise;
std::int32_t* plane_u;
std::int32_t* plane_v;
std::int32_t* map_v_a;
std::int32_t* map_v_b;
std::int32_t* map_v_c;
std::int32_t* map_v_d;
std::int32_t* map_u_a;
std::int32_t* map_u_b;
std::int32_t* map_u_c;
std::int32_t* map_u_d;
std::int32_t* map_u_e;
std::int32_t* polar_angle;
std::int32_t* polar_depth;
std::int32_t* bump_dx;
std::int32_t* bump_dy;

namespace {

// Zeroed, so the frames start black and nothing is read uninitialised.
// A buffer that already exists is kept: allocation happens once per process.
template <typename T>
bool allocate(T*& slot, std::size_t count) {
  static_assert(sizeof(T) == 4);
  if (!slot) slot = static_cast<T*>(std::calloc(count, sizeof(T)));
  return slot != nullptr;
}

}  // namespace

bool frame_allocate() { return allocate(work_frame, FRAME_PIXELS); }

// Everything after work_frame, in order; the first failure stops the chain.
bool tables_allocate() {
  return allocate(second_frame, FRAME_PIXELS) && allocate(wobble_image, FRAME_PIXELS) &&
         allocate(logo_row_offsets, 10) && allocate(logo_col_offsets, 10) &&
         allocate(path_a_x, 360) && allocate(path_a_y, 360) && allocate(path_b_x, 360) &&
         allocate(path_b_y, 360) && allocate(wobble, 256) && allocate(column_warp, FRAME_WIDTH) &&
         allocate(row_warp, FRAME_HEIGHT) && allocate(depth_a, FRAME_PIXELS) &&
         allocate(depth_b, FRAME_PIXELS) && allocate(depth_c, FRAME_PIXELS) &&
         allocate(depth_d, FRAME_PIXELS) && allocate(floor_u, 120 * FRAME_WIDTH) &&
         allocate(floor_v, 120) && allocate(floor_rise, 120) && allocate(plane_u, FRAME_PIXELS) &&
         allocate(plane_v, FRAME_PIXELS) && allocate(map_v_a, FRAME_PIXELS) &&
         allocate(map_v_b, FRAME_PIXELS) && allocate(map_v_c, FRAME_PIXELS) &&
         allocate(map_v_d, FRAME_PIXELS) && allocate(map_u_a, FRAME_PIXELS) &&
         allocate(map_u_b, FRAME_PIXELS) && allocate(map_u_c, FRAME_PIXELS) &&
         allocate(map_u_d, FRAME_PIXELS) && allocate(map_u_e, FRAME_PIXELS) &&
         allocate(polar_angle, FRAME_PIXELS) && allocate(polar_depth, FRAME_PIXELS) &&
         allocate(bump_dx, FRAME_PIXELS) && allocate(bump_dy, FRAME_PIXELS);
}
