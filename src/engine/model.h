// The camera and the object model: setting up and freeing cameras, objects
// and the object list with its shade ramps, and moving and turning objects
// between frames.
#pragma once
#include <cstdint>

#include "engine/engine.h"

inline constexpr float MAX_FOCAL = 200.0f;
inline constexpr int EXIT_FOCAL_TOO_LONG = 30;
inline constexpr int EXIT_CAMERA_NO_MEMORY = 10;

// Ends the program with status 30 above focal 200, 10 when out of memory.
void camera_init(Camera* camera, float focal, float x, float y, float z, float pitch, float yaw,
                 float roll, int own_target);
void camera_destroy(Camera* camera);

void object_list_init(ObjectList* list);
void object_list_destroy(ObjectList* list);
void object_set_position(Object* object, float x, float y, float z);
void object_rotate(Object* object, float ax, float ay, float az);  // degrees
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
