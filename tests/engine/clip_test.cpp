// The depth test, the near-plane clip polygons and the screen-edge marks.
#include <gtest/gtest.h>

#include <vector>

#include "scene.h"

namespace {

struct ClipScene {
  TestCamera camera;  // focal 200
  TestList scene;
  Object* object;
  Face* face;
  explicit ClipScene(std::vector<Vec4> view, int shading = SHADING_FLAT,
                     std::vector<int> levels = {}) {
    const int n = static_cast<int>(view.size());
    object = scene.add(n, 1);
    face = &object->faces[0];
    set_face(face,
             n == 3 ? std::initializer_list<int>{0, 1, 2} : std::initializer_list<int>{0, 1, 2, 3},
             shading);
    for (int k = 0; k < n; ++k) {
      object->view_vertices[k] = view[k];
      face->vertex_intensity[k] = k < static_cast<int>(levels.size()) ? levels[k] : 0;
    }
    for (int& level : face->clip_intensity) level = -7;
    clip_faces(scene.list, camera.get());
  }
};

void expect_point(const Vec4& got, Vec4 want) {
  EXPECT_NEAR(got.x, want.x, 1e-4);
  EXPECT_NEAR(got.y, want.y, 1e-4);
  EXPECT_EQ(got.z, want.z);
}

TEST(Clip, DepthRangeDecidesWhetherAFaceIsDrawn) {
  struct Case {
    float z0, z1, z2;
    int drawable, near_clipped;
  } cases[] = {
      {300, 300, 300, 1, 0},       {200, 300, 300, 1, 0},    {199.9f, 300, 300, 1, 1},
      {200, 3500, 3500, 1, 0},     {150, 3500, 3500, 0, 0},  {250, 5000, 5000, 1, 0},
      {3000.9f, 5000, 5000, 1, 0}, {3001, 5000, 5000, 0, 0}, {100, 150, 199.9f, 0, 0},
  };
  for (const Case& c : cases) {
    ClipScene s({{0, 0, c.z0, 1}, {10, 0, c.z1, 1}, {0, 10, c.z2, 1}});
    EXPECT_EQ(s.face->drawable, c.drawable) << c.z0 << " " << c.z1 << " " << c.z2;
    EXPECT_EQ(s.face->near_clipped, c.near_clipped) << c.z0 << " " << c.z1 << " " << c.z2;
  }
}

TEST(Clip, TrianglesKeepTheirWindingWhenCut) {
  {
    ClipScene s({{0, 0, 100, 1}, {40, 0, 400, 1}, {0, 40, 400, 1}});
    ASSERT_EQ(s.face->clip_count, 4);
    const Vec4* p = s.face->clip_vertices;
    expect_point(p[0], {0, 40.0f / 3, 200, 0});  // P0 toward P2
    expect_point(p[1], {40.0f / 3, 0, 200, 0});  // P0 toward P1
    expect_point(p[2], {40, 0, 400, 0});
    expect_point(p[3], {0, 40, 400, 0});
    EXPECT_EQ(p[2].w, 1.0f);
    EXPECT_EQ(s.face->view_copy[0].z, 100.0f);
    EXPECT_EQ(s.face->clip_intensity[0], -7);  // flat faces get no clip levels
  }
  {
    ClipScene s({{0, 0, 100, 1}, {30, 0, 100, 1}, {0, 30, 400, 1}});
    ASSERT_EQ(s.face->clip_count, 3);
    const Vec4* p = s.face->clip_vertices;
    expect_point(p[0], {0, 10, 200, 0});   // P0 toward P2
    expect_point(p[1], {20, 10, 200, 0});  // P1 toward P2
    expect_point(p[2], {0, 30, 400, 0});
  }
  // A vertex exactly on the plane is inside: it stays, after P0's crossing toward it.
  EXPECT_EQ(ClipScene({{0, 0, 100, 1}, {40, 0, 200, 1}, {0, 40, 400, 1}}).face->clip_count, 4);
}

TEST(Clip, QuadrilateralsGiveFiveOrFourPoints) {
  {
    ClipScene s({{0, 0, 100, 1}, {60, 0, 400, 1}, {60, 60, 400, 1}, {0, 60, 400, 1}});
    ASSERT_EQ(s.face->clip_count, 5);
    const Vec4* p = s.face->clip_vertices;
    expect_point(p[0], {0, 20, 200, 0});  // P0 toward P3
    expect_point(p[1], {20, 0, 200, 0});  // P0 toward P1
    expect_point(p[2], {60, 0, 400, 0});
    expect_point(p[3], {60, 60, 400, 0});
    expect_point(p[4], {0, 60, 400, 0});
  }
  {
    // Not convex: vertices 0 and 2 in front, 1 and 3 behind.
    ClipScene s({{0, 0, 300, 1}, {30, 0, 100, 1}, {30, 30, 300, 1}, {0, 30, 100, 1}});
    ASSERT_EQ(s.face->clip_count, 4);
    const Vec4* p = s.face->clip_vertices;
    expect_point(p[0], {0, 0, 300, 0});
    expect_point(p[1], {15, 0, 200, 0});   // P1 toward P0
    expect_point(p[2], {30, 15, 200, 0});  // P1 toward P2
    expect_point(p[3], {30, 30, 300, 0});
  }
}

TEST(Clip, SmoothCrossingsInterpolateTheLightLevel) {
  ClipScene s({{0, 0, 100, 1}, {40, 0, 300, 1}, {0, 40, 300, 1}}, SHADING_SMOOTH, {20, 220, 100});
  ASSERT_EQ(s.face->clip_count, 4);
  EXPECT_EQ(s.face->clip_intensity[0], 60);   // toward P2: 20 + trunc(0.5 * 80)
  EXPECT_EQ(s.face->clip_intensity[1], 120);  // toward P1: 20 + trunc(0.5 * 200)
  EXPECT_EQ(s.face->clip_intensity[2], 220);
  EXPECT_EQ(s.face->clip_intensity[3], 100);

  // trunc(199.5) = 199: 1/101 of the way from 0 to 250, truncated.
  ClipScene t({{0, 0, 199.5f, 1}, {40, 0, 300, 1}, {0, 40, 300, 1}}, SHADING_SMOOTH, {0, 250, 0});
  EXPECT_EQ(t.face->clip_intensity[1], 2);
}

TEST(Clip, ScreenEdgeMarksUseTheDrawnPolygon) {
  EXPECT_EQ(ClipScene({{159, 0, 200, 1}, {0, 0, 300, 1}, {0, 10, 300, 1}}).face->edge_clip, 1);
  EXPECT_EQ(ClipScene({{158, 0, 200, 1}, {0, 0, 300, 1}, {0, 10, 300, 1}}).face->edge_clip, 0);
  EXPECT_EQ(ClipScene({{150, 0, 200, 1}, {0, 0, 300, 1}, {0, 10, 300, 1}}).face->edge_clip, 0);
  EXPECT_EQ(ClipScene({{-159, 0, 200, 1}, {0, 0, 300, 1}, {0, 10, 300, 1}}).face->edge_clip, 0);
  EXPECT_EQ(ClipScene({{-160, 0, 200, 1}, {0, 0, 300, 1}, {0, 10, 300, 1}}).face->edge_clip, 1);
  EXPECT_EQ(ClipScene({{0, 119, 200, 1}, {0, 0, 300, 1}, {0, 10, 300, 1}}).face->edge_clip, 1);
  EXPECT_EQ(ClipScene({{0, -119, 200, 1}, {0, 0, 300, 1}, {0, 10, 300, 1}}).face->edge_clip, 0);
  EXPECT_EQ(ClipScene({{0, -120, 200, 1}, {0, 0, 300, 1}, {0, 10, 300, 1}}).face->edge_clip, 1);
  // Behind the eye the vertex is off every plane, but what is drawn is its
  // crossing at (0, 0, 200), well inside.
  EXPECT_EQ(ClipScene({{0, 0, -100, 1}, {10, 0, 500, 1}, {0, 10, 500, 1}}).face->edge_clip, 0);
  // A crossing outside marks the face though every vertex in front is inside.
  EXPECT_EQ(ClipScene({{-600, 0, 100, 1}, {0, 0, 400, 1}, {0, 10, 400, 1}}).face->edge_clip, 1);
}

}  // namespace
