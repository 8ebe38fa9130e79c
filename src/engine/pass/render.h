// The scene render pass and its stages: view transform, object cull, back
// faces and light, depth test and near-plane clip, then the face drawer.
#pragma once
#include <cstdint>

#include "engine/engine.h"

inline constexpr int NEAR_Z = 200;
inline constexpr int FAR_Z = 3000;
inline constexpr std::int32_t AMBIENT_LEVEL = 20;

// The fixed light.
extern const Vec4 light_direction;  // (0, 0, -1)

// What the render pass caches per camera and hands the face drawer.
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

// The stages, in the order render_scene runs them.
void build_view_matrix(Camera* camera);
void cull_objects(ObjectList* list, const Camera* camera);
void place_vertices(ObjectList* list);
void shade_faces(ObjectList* list, const Camera* camera);
void transform_vertices(ObjectList* list, const Camera* camera);
void clip_faces(ObjectList* list, const Camera* camera);
// The clip polygon of one face reaching behind the near plane.
void clip_near(const Object* object, Face* face);

// Draws the list as the camera sees it into the camera's target, against its
// z-buffer; the target is touched only where faces are drawn.
void render_scene(ObjectList* list, Camera* camera);
