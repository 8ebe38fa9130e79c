// The 3D engine's records and operations: vectors and matrices, the camera,
// mesh objects with their faces, the object list with its shade ramps, and
// the render pass with its stages. Records are plain fixed layouts; a Face is
// the same 256 bytes in memory and in the object file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// ---- constants ------------------------------------------------------------
inline constexpr float DEG_TO_RAD = 0.017453292f;
inline constexpr std::int32_t SHADING_FLAT = 1;
inline constexpr std::int32_t SHADING_SMOOTH = 4;
inline constexpr int MAX_OBJECTS = 1000;
inline constexpr int MAX_RAMPS = 100;
inline constexpr int MAX_VERTICES = 3000;  // per object; the light cache's size
inline constexpr int MAX_FACES = 3000;     // per object, as the importer allows
inline constexpr int NEAR_Z = 200;
inline constexpr int FAR_Z = 3000;
inline constexpr std::int32_t AMBIENT_LEVEL = 20;
inline constexpr float MAX_FOCAL = 200.0f;
inline constexpr int EXIT_FOCAL_TOO_LONG = 30;
inline constexpr int EXIT_CAMERA_NO_MEMORY = 10;
inline constexpr std::int32_t ZBUFFER_EMPTY = 0x7FFFFFFF;
inline constexpr int SCREEN_CENTRE_X = 160;
inline constexpr int SCREEN_CENTRE_Y = 119;

// ---- vectors and matrices -------------------------------------------------
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

void vec_delta(const Vec4* from, const Vec4* to, Vec4* out);  // out = to - from
float vec_length(const Vec4* v);
float vec_dot(const Vec4* a, const Vec4* b);
void vec_cross(const Vec4* a, const Vec4* b, Vec4* out);
void vec_rotate(Vec4* v, float ax, float ay, float az);  // degrees: X, then Y, then Z
void mat_identity(Mat4* m);
void mat_copy(const Mat4* src, Mat4* dst);
void mat_mul(const Mat4* a, const Mat4* b, Mat4* out);      // out must not alias
void vec_mul_mat(const Vec4* v, const Mat4* m, Vec4* out);  // out must not alias
void mat_print(const Mat4* m);
void vec_print(const Vec4* v);

// ---- records --------------------------------------------------------------
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

// What the render pass caches per camera for the face drawer.
struct RenderState {
  std::int32_t last_camera_id;  // -1 before the first render
  std::uint32_t* target;
  std::int32_t* zbuffer;
  float focal;
  float slope_left, slope_right, slope_top, slope_bottom;
};
extern RenderState render_state;
// Copies a camera's id, target, z-buffer, focal and slopes into render_state;
// render_scene does it only when another camera is rendered.
void render_state_load(const Camera* camera);

// The fixed light.
extern const Vec4 light_direction;  // (0, 0, -1)

// ---- camera and objects ---------------------------------------------------
// Ends the program with status 30 above focal 200, 10 when out of memory.
void camera_init(Camera* camera, float focal, float x, float y, float z, float pitch, float yaw,
                 float roll, int own_target);
void camera_destroy(Camera* camera);
void camera_turn(Camera* camera, float dpitch, float dyaw, float droll);  // degrees
void camera_advance(Camera* camera, float distance);

void object_list_init(ObjectList* list);
void object_list_destroy(ObjectList* list);
void object_set_position(Object* object, float x, float y, float z);
void object_rotate(Object* object, float ax, float ay, float az);  // degrees
void object_scale(Object* object, float factor);
void object_center(Object* object);
void ramp_gradient(std::uint32_t* table, int r0, int r1, int g0, int g1, int b0, int b1);
// The 256 shades of a colour into ramp->shades, and ramp->colour.
void ramp_build(ShadeRamp* ramp, std::int32_t colour);
// The index of the list's ramp for a colour, searched newest first, making a
// new one when there is none: RAMP_TABLE_FULL when all MAX_RAMPS slots are
// taken, RAMP_NO_MEMORY when the allocation fails.
inline constexpr int RAMP_TABLE_FULL = -1;
inline constexpr int RAMP_NO_MEMORY = -2;
int object_list_ramp(ObjectList* list, std::int32_t colour);
// Frees the ramps from index `keep` up and sets ramp_count to it: a loader
// that fails takes back the ramps made for the object it was reading.
void object_list_drop_ramps(ObjectList* list, std::int32_t keep);

// A heap object with its four vertex arrays and its faces, all zeroed and
// every w set to 1; nullptr when memory runs out (nothing is left allocated).
// Counts must be 0..MAX_VERTICES and 0..MAX_FACES.
Object* object_create(std::int32_t vertex_count, std::int32_t face_count);
// Frees the object's blocks and the object itself (nullptr is allowed).
void object_free(Object* object);

// A counted pointer list: an int32 count followed by N pointers to malloc'd
// blocks. Freeing leaves the count as it was.
template <typename T, int N>
struct PointerList {
  std::int32_t count;
  T* items[N];
};
template <typename T, int N>
void pointer_list_reset(PointerList<T, N>* list) {
  list->count = 0;
}
template <typename T, int N>
void pointer_list_free(PointerList<T, N>* list) {
  std::int32_t n = list->count < N ? list->count : N;
  for (std::int32_t i = n - 1; i >= 0; --i) std::free(list->items[i]);
}

// ---- the render pass ------------------------------------------------------
void build_view_matrix(Camera* camera);
void place_vertices(ObjectList* list);
void transform_vertices(ObjectList* list, const Camera* camera);
void cull_objects(ObjectList* list, const Camera* camera);
void shade_faces(ObjectList* list, const Camera* camera);
void clip_faces(ObjectList* list, const Camera* camera);
void clip_near(Object* object, Face* face);
void render_scene(ObjectList* list, Camera* camera);
