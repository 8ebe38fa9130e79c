// The 3D engine's shared records: vectors and matrices, the camera, mesh
// objects with their faces, and the object list with its shade ramps. Records
// are plain fixed layouts; a Face is the same 256 bytes in memory and in the
// object file. The operations on them have headers of their own: vec.h,
// model.h and, for the render pass, pass/render.h.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- limits and fixed values ----------------------------------------------
inline constexpr std::int32_t SHADING_FLAT = 1;
inline constexpr std::int32_t SHADING_SMOOTH = 4;
inline constexpr int MAX_OBJECTS = 1000;
inline constexpr int MAX_RAMPS = 100;
inline constexpr int MAX_VERTICES = 3000;  // per object; the light cache's size
inline constexpr int MAX_FACES = 3000;     // per object, as the importer allows
inline constexpr std::int32_t ZBUFFER_EMPTY = 0x7FFFFFFF;
inline constexpr int SCREEN_CENTRE_X = 160;
inline constexpr int SCREEN_CENTRE_Y = 119;

// ---- records --------------------------------------------------------------
struct Vec4 {
  float x, y, z, w;
};
static_assert(sizeof(Vec4) == 16);

struct Vec3 {
  float x, y, z;
};

// Row-major; points are row vectors: p' = p * M, translation in row 3.
struct Mat4 {
  float m[4][4];
};
static_assert(sizeof(Mat4) == 64);

struct Camera {
  std::int32_t id;
  Vec4 position;
  float pitch, yaw, roll;  // radians
  std::int32_t int_angles[3];
  Mat4 view;
  float focal;
  std::uint32_t* target;
  std::int32_t owns_target;
  float slope_left, slope_right, slope_top, slope_bottom;
  std::int32_t* zbuffer;
};

// 64 words, byte for byte the face record of the object file.
struct Face {
  std::int32_t vertex_count;         // 0
  std::int32_t clip_count;           // 1
  std::int32_t ramp;                 // 2
  std::int32_t colour;               // 3
  std::int32_t intensity;            // 4
  std::int32_t shading;              // 5
  std::int32_t reserved6;            // 6
  std::int32_t near_clipped;         // 7
  std::int32_t two_sided;            // 8
  std::int32_t drawable;             // 9
  std::int32_t edge_clip;            // 10
  Vec3 normal;                       // 11..13
  float reserved14;                  // 14
  std::int32_t indices[4];           // 15..18
  Vec4 view_copy[4];                 // 19..34
  Vec4 clip_vertices[5];             // 35..54
  std::int32_t vertex_intensity[4];  // 55..58
  std::int32_t clip_intensity[5];    // 59..63
};
static_assert(sizeof(Face) == 256);
static_assert(offsetof(Face, ramp) == 8);
static_assert(offsetof(Face, colour) == 12);
static_assert(offsetof(Face, shading) == 20);
static_assert(offsetof(Face, two_sided) == 32);
static_assert(offsetof(Face, edge_clip) == 40);
static_assert(offsetof(Face, normal) == 44);
static_assert(offsetof(Face, reserved14) == 56);
static_assert(offsetof(Face, indices) == 60);
static_assert(offsetof(Face, view_copy) == 76);
static_assert(offsetof(Face, clip_vertices) == 140);
static_assert(offsetof(Face, vertex_intensity) == 220);
static_assert(offsetof(Face, clip_intensity) == 236);

struct Object {
  char name[40];
  std::int32_t enabled;
  std::int32_t visible;
  Vec4 position;
  float mean_radius;
  float bound_radius;
  float cull_radius;
  std::int32_t smooth;
  std::int32_t vertex_count;
  std::int32_t face_count;
  Vec4* vertices;
  Vec4* world_vertices;
  Vec4* view_vertices;
  Vec4* vertex_normals;
  Face* faces;
};

// Word 0 the base colour by which faces share ramps; then 256 shades from
// black up to just below it. A face of level L is drawn with shades[L].
struct ShadeRamp {
  std::int32_t colour;
  std::uint32_t shades[256];
};
static_assert(sizeof(ShadeRamp) == 257 * 4);

struct ObjectList {
  std::int32_t count;
  Object* objects[MAX_OBJECTS];
  std::int32_t ramp_count;
  ShadeRamp* ramps[MAX_RAMPS];
};
