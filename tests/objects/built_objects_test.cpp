#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "data/object_file.h"
#include "temp_file.h"

namespace {
// The demo's "objs.3dw" as the build made it: one smooth and one flat object
// within the engine's limits, sized for scene 5's camera (focal 200 at 500).
TEST(BuiltObjects, TwoObjectsOneSmoothOneFlat) {
  const char* dir = std::getenv("QN_DATA_DIR");
  if (!dir) GTEST_SKIP() << "QN_DATA_DIR not set";
  ListHolder h;
  ASSERT_EQ(object_file_read((std::string(dir) + "/objs.3dw").c_str(), &h.list), 0);
  ASSERT_EQ(h.list.count, 2);
  for (int i = 0; i < 2; ++i) {
    const Object* o = h.list.objects[i];
    SCOPED_TRACE(o->name);
    EXPECT_GE(o->vertex_count, 300);
    EXPECT_LE(o->vertex_count, 2500);
    EXPECT_LE(o->face_count, MAX_FACES);
    EXPECT_EQ(o->smooth, i == 0 ? 1 : 0);
    for (int f = 0; f < o->face_count; ++f)
      ASSERT_EQ(o->faces[f].shading, i == 0 ? SHADING_SMOOTH : SHADING_FLAT);
    // A diameter seen from 500 units covers a quarter to a half of 240 rows.
    const float rows = 2 * o->bound_radius * 200 / 500;
    EXPECT_GE(rows, 60);
    EXPECT_LE(rows, 120);
    // Closest approach at z = 0 stays behind the near plane at 200.
    EXPECT_LT(o->cull_radius, 300);
  }
  EXPECT_NE(h.list.objects[0]->faces[0].colour, h.list.objects[1]->faces[0].colour);
}
}  // namespace
