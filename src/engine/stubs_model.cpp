// STUB: vector kit, camera and object model; replaced by vec.cpp, camera.cpp, object.cpp.
#include "engine/engine.h"
void vec_delta(const Vec4*, const Vec4*, Vec4*) {}
float vec_length(const Vec4*) { return 0; }
float vec_dot(const Vec4*, const Vec4*) { return 0; }
void vec_cross(const Vec4*, const Vec4*, Vec4*) {}
void vec_rotate(Vec4*, float, float, float) {}
void mat_identity(Mat4*) {}
void mat_copy(const Mat4*, Mat4*) {}
void mat_mul(const Mat4*, const Mat4*, Mat4*) {}
void vec_mul_mat(const Vec4*, const Mat4*, Vec4*) {}
void mat_print(const Mat4*) {}
void vec_print(const Vec4*) {}
void camera_init(Camera*, float, float, float, float, float, float, float, int) {}
void camera_destroy(Camera*) {}
void camera_turn(Camera*, float, float, float) {}
void camera_advance(Camera*, float) {}
void object_list_init(ObjectList* list) { list->count = 0; list->ramp_count = 0; }
void object_list_destroy(ObjectList*) {}
void object_set_position(Object*, float, float, float) {}
void object_rotate(Object*, float, float, float) {}
void object_scale(Object*, float) {}
void object_center(Object*) {}
void ramp_gradient(std::uint32_t*, int, int, int, int, int, int) {}
void ramp_build(ShadeRamp*, std::int32_t) {}
void pointer_list_reset(PointerList*) {}
void pointer_list_free(PointerList*) {}
