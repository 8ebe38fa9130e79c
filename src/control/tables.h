// The precalculated tables: every per-pixel effect is a lookup in these.
// Plain process-wide buffers, allocated in this order at start-up and never
// released; computed once during "Precalcing..." and read-only afterwards,
// except `wobble`, which scene 0 rotates in place.
#pragma once
#include <cstdint>

#include "effects/effects.h"

struct TextureStructure;

extern std::uint32_t* work_frame;       // 76,800
extern std::uint32_t* second_frame;     // 76,800
extern std::uint32_t* wobble_image;     // 76,800 (65,536 used)
extern std::int32_t* logo_row_offsets;  // 10
extern std::int32_t* logo_col_offsets;  // 10
extern std::int32_t* path_a_x;          // 360 each
extern std::int32_t* path_a_y;
extern std::int32_t* path_b_x;
extern std::int32_t* path_b_y;
extern std::int32_t* wobble;  // 256
extern float* column_warp;    // 320
extern float* row_warp;       // 240
extern float* depth_a;        // 76,800 each
extern float* depth_b;
extern float* depth_c;
extern float* depth_d;
extern std::int32_t* floor_u;     // 120 x 320
extern std::int32_t* floor_v;     // 120
extern std::int32_t* floor_rise;  // 120
extern std::int32_t* plane_u;     // 76,800 each from here on
extern std::int32_t* plane_v;
extern std::int32_t* map_v_a;
extern std::int32_t* map_v_b;
extern std::int32_t* map_v_c;
extern std::int32_t* map_v_d;
extern std::int32_t* map_u_a;
extern std::int32_t* map_u_b;
extern std::int32_t* map_u_c;
extern std::int32_t* map_u_d;
extern std::int32_t* map_u_e;
extern std::int32_t* polar_angle;
extern std::int32_t* polar_depth;
extern std::int32_t* bump_dx;
extern std::int32_t* bump_dy;

// work_frame alone (start-up step 6). False when out of memory.
bool frame_allocate();
// second_frame and every later buffer, in order (step 8). False when out of memory.
bool tables_allocate();
// Every table, in order, from the constants and `text` entry 8 of the archive.
void tables_compute(const TextureStructure* archive);

// The tables each effect reads, as the record it takes.
inline LogoOffsets logo_offsets() { return {logo_row_offsets, logo_col_offsets}; }
inline TunnelMaps tunnel_maps() {
  return {map_v_a, map_v_b, map_v_c, map_v_d, map_u_a, map_u_b, map_u_c, map_u_d, map_u_e};
}
inline FloorMaps floor_maps() { return {floor_u, floor_v, floor_rise}; }
inline PolarMaps polar_maps() { return {polar_angle, polar_depth}; }
inline WobbleTables wobble_tables() { return {wobble, {path_a_x, path_a_y}}; }
inline BumpTables bump_tables() {
  return {{path_b_x, path_b_y}, {path_a_x, path_a_y}, bump_dx, bump_dy};
}
