// STUB: the render pass; replaced by view.cpp, cull.cpp, light.cpp, clip.cpp, render.cpp.
#include "engine/engine.h"
RenderState render_state = {-1, nullptr, nullptr, 0, 0, 0, 0, 0};
const Vec4 light_direction = {0.0f, 0.0f, -1.0f, 0.0f};
void build_view_matrix(Camera*) {}
void place_vertices(ObjectList*) {}
void transform_vertices(ObjectList*, const Camera*) {}
void cull_objects(ObjectList*, const Camera*) {}
void shade_faces(ObjectList*, const Camera*) {}
void clip_faces(ObjectList*, const Camera*) {}
void clip_near(Object*, Face*) {}
void render_scene(ObjectList*, Camera*) {}
