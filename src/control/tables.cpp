// STUB: replaced by the table module.
#include "control/tables.h"
#include <cstdlib>
std::uint32_t* work_frame; std::uint32_t* second_frame; std::uint32_t* wobble_image;
std::int32_t *logo_row_offsets, *logo_col_offsets, *path_a_x, *path_a_y, *path_b_x, *path_b_y, *wobble;
float *column_warp, *row_warp, *depth_a, *depth_b, *depth_c, *depth_d;
std::int32_t *floor_u, *floor_v, *floor_rise, *plane_u, *plane_v, *map_v_a, *map_v_b, *map_v_c, *map_v_d;
std::int32_t *map_u_a, *map_u_b, *map_u_c, *map_u_d, *map_u_e, *polar_angle, *polar_depth, *bump_dx, *bump_dy;
bool frame_allocate() { work_frame = static_cast<std::uint32_t*>(std::calloc(76800, 4)); return work_frame; }
bool tables_allocate() { return true; }
void tables_compute(const TextureStructure*) {}
