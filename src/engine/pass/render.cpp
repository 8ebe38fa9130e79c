// The scene render pass: the one entry through which a frame of the 3D scene
// is drawn. It refreshes the per-camera cache, clears the z-buffer, resets the
// per-frame flags and runs the stages in order; it never touches the target
// image except through the face drawer.
#include "engine/pass/render.h"

#include <algorithm>

#include "common/frame.h"
#include "engine/engine.h"
#include "raster/raster.h"

RenderState render_state = {-1, nullptr, nullptr, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

void render_state_load(const Camera* camera) {
  render_state.last_camera_id = camera->id;
  render_state.target = camera->target;
  render_state.zbuffer = camera->zbuffer;
  render_state.focal = camera->focal;
  render_state.slope_left = camera->slope_left;
  render_state.slope_right = camera->slope_right;
  render_state.slope_top = camera->slope_top;
  render_state.slope_bottom = camera->slope_bottom;
}

namespace {

// Enabled objects take part afresh; disabled ones keep their faces' flags.
void render_reset_flags(ObjectList* list) {
  for (int i = list->count - 1; i >= 0; --i) {
    Object* object = list->objects[i];
    if (object->enabled == 0) {
      object->visible = 0;
      continue;
    }
    object->visible = 1;
    for (int f = object->face_count - 1; f >= 0; --f) {
      object->faces[f].drawable = 1;
      object->faces[f].near_clipped = 0;
    }
  }
}

}  // namespace

void render_scene(ObjectList* list, Camera* camera) {
  if (camera->id != render_state.last_camera_id) render_state_load(camera);
  const RasterTarget target = {FrameSpan(render_state.target, FRAME_PIXELS),
                               DepthSpan(render_state.zbuffer, FRAME_PIXELS)};
  std::fill(target.depths.begin(), target.depths.end(), ZBUFFER_EMPTY);
  render_reset_flags(list);
  build_view_matrix(camera);
  cull_objects(list, camera);
  place_vertices(list);
  shade_faces(list, camera);
  transform_vertices(list, camera);
  clip_faces(list, camera);
  draw_faces(list, target, render_state.focal);
}
