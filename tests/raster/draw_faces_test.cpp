// The face drawer: projection, fan cuts, filler and shade choice, visiting
// order, and faces the drawer must refuse.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "canvas.h"
#include "engine/engine.h"
#include "raster/raster.h"

namespace {

// One object of camera-space vertices with faces, in a list with two ramps.
struct Scene {
  std::vector<Vec4> vertices;
  std::vector<Face> faces;
  Object object{};
  ShadeRamp ramps[2]{};
  ObjectList list{};
  Canvas canvas;

  Scene() {
    for (int r = 0; r < 2; ++r)
      for (int i = 0; i < 256; ++i)
        ramps[r].shades[i] = 0x1000u * (r + 1) + static_cast<std::uint32_t>(i);
    list.ramp_count = 2;
    list.ramps[0] = &ramps[0];
    list.ramps[1] = &ramps[1];
    list.count = 1;
    list.objects[0] = &object;
    object.visible = 1;
  }
  Face& add_face(std::initializer_list<Vec4> points, std::int32_t shading = SHADING_FLAT) {
    Face f;
    std::memset(&f, 0, sizeof f);
    f.vertex_count = static_cast<std::int32_t>(points.size());
    f.shading = shading;
    f.drawable = 1;
    f.intensity = 100;
    int k = 0;
    for (const Vec4& p : points) {
      f.indices[k] = static_cast<std::int32_t>(vertices.size());
      f.vertex_intensity[k++] = 60;
      vertices.push_back(p);
    }
    faces.push_back(f);
    return faces.back();
  }
  void draw() {
    object.vertex_count = static_cast<std::int32_t>(vertices.size());
    object.view_vertices = vertices.data();
    object.face_count = static_cast<std::int32_t>(faces.size());
    object.faces = faces.data();
    draw_faces(&list, canvas.raster(), 200.0f);
  }
};

// Copies a face's own vertices into its clip polygon, as if near-clipped.
void make_clipped(Face& f, const std::vector<Vec4>& vertices) {
  f.near_clipped = 1;
  f.clip_count = f.vertex_count;
  for (int k = 0; k < f.vertex_count; ++k) {
    f.clip_vertices[k] = vertices[f.indices[k]];
    f.clip_intensity[k] = f.vertex_intensity[k];
  }
}

TEST(DrawFaces, ProjectsUnclippedByTheTruncatedDepthAndClippedByTheTrueOne) {
  Scene plain;
  plain.add_face({{100, 50, 400.7f, 1}, {100, 0, 400.7f, 1}, {150, 0, 400.7f, 1}});
  plain.draw();
  EXPECT_TRUE(plain.canvas.drawn(210, 94));
  EXPECT_EQ(plain.canvas.z(210, 94), 400);
  EXPECT_FALSE(plain.canvas.row_drawn(93));

  Scene clipped;
  clipped.add_face({{100, 50, 400.7f, 1}, {100, 0, 400.7f, 1}, {150, 0, 400.7f, 1}});
  make_clipped(clipped.faces[0], clipped.vertices);
  clipped.draw();
  EXPECT_TRUE(clipped.canvas.drawn(209, 95));
  EXPECT_EQ(clipped.canvas.z(209, 95), 400);
  EXPECT_FALSE(clipped.canvas.row_drawn(94));

  Scene centre;  // -0.7 truncates toward zero: column 160
  centre.add_face({{-1.4f, 50, 400, 1}, {-1.4f, 0, 400, 1}, {40, 0, 400, 1}});
  centre.draw();
  EXPECT_EQ(centre.canvas.first_drawn(94), 160);
}

TEST(DrawFaces, CutsQuadsAndClipPolygonsIntoFansAroundTheFirstVertex) {
  // A dart: vertex 3 lies inside triangle 0-1-2, so the cut along 0-2 shows.
  Scene quad;
  quad.add_face({{-100, 60, 400, 1}, {100, 80, 400, 1}, {0, -100, 400, 1}, {0, 40, 400, 1}});
  quad.draw();
  const std::uint32_t s = quad.ramps[0].shades[100];
  Canvas expected;
  draw_flat_triangle(expected.raster(), s, false, {110, 89, 400}, {210, 79, 400}, {160, 169, 400});
  draw_flat_triangle(expected.raster(), s, false, {110, 89, 400}, {160, 99, 400}, {160, 169, 400});
  EXPECT_TRUE(quad.canvas == expected);
  Canvas other_cut;
  draw_flat_triangle(other_cut.raster(), s, false, {210, 79, 400}, {160, 169, 400}, {160, 99, 400});
  draw_flat_triangle(other_cut.raster(), s, false, {210, 79, 400}, {110, 89, 400}, {160, 99, 400});
  EXPECT_FALSE(quad.canvas == other_cut);

  // Five clip vertices: (0, 4, 3), (0, 3, 2), (0, 2, 1), smooth with distinct
  // levels so each triangle's vertex roles matter, at one depth so that on the
  // edges they share the triangle drawn first keeps its pixels.
  Scene five;
  Face& f = five.add_face({{0, 0, 400, 1}, {0, 0, 400, 1}, {0, 0, 400, 1}}, SHADING_SMOOTH);
  f.near_clipped = 1;
  f.clip_count = 5;
  const Vec4 pts[5] = {{0, 100, 400, 1},
                       {200, 40, 400, 1},
                       {140, -120, 400, 1},
                       {-150, -140, 400, 1},
                       {-220, 20, 400, 1}};
  const int levels[5] = {10, 90, 170, 250, 40};
  ScreenVertex p[5];
  for (int k = 0; k < 5; ++k) {
    f.clip_vertices[k] = pts[k];
    f.clip_intensity[k] = levels[k];
    const float sc = 200.0f / pts[k].z;
    p[k] = {static_cast<int>(sc * pts[k].x) + 160, 119 - static_cast<int>(sc * pts[k].y),
            static_cast<int>(pts[k].z), levels[k]};
  }
  f.edge_clip = 1;
  five.draw();
  Canvas fan;
  for (int k = 4; k >= 2; --k)
    draw_shaded_triangle(fan.raster(), five.ramps[0].shades, true, p[0], p[k], p[k - 1]);
  EXPECT_TRUE(five.canvas == fan);
}

TEST(DrawFaces, ShadingChoosesFillerAndShade) {
  for (std::int32_t shading : {0, 2, 3}) {
    Scene sc;
    sc.add_face({{0, 50, 400, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}}, shading);
    sc.draw();
    EXPECT_EQ(sc.canvas.at(160, 119), sc.ramps[0].shades[255]) << shading;
  }
  Scene flat;
  flat.add_face({{0, 50, 400, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}});
  flat.faces[0].ramp = 1;
  flat.draw();
  EXPECT_EQ(flat.canvas.at(160, 119), flat.ramps[1].shades[100]);

  Scene smooth;  // every vertex at level 60
  smooth.add_face({{0, 50, 400, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}}, SHADING_SMOOTH);
  smooth.draw();
  EXPECT_EQ(smooth.canvas.at(160, 119), smooth.ramps[0].shades[60]);
}

TEST(DrawFaces, LaterFacesAndObjectsAreDrawnFirst) {
  // Two faces at one depth: the flat one drawn last (face 0) shows...
  Scene flat;
  flat.add_face({{0, 50, 400, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}}).ramp = 0;
  flat.add_face({{0, 50, 400, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}}).ramp = 1;
  flat.draw();
  EXPECT_EQ(flat.canvas.at(160, 119), flat.ramps[0].shades[100]);
  // ...while of two smooth ones the first drawn (face 1) stays.
  Scene smooth;
  for (int ramp : {0, 1}) {
    Face& f =
        smooth.add_face({{0, 50, 400, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}}, SHADING_SMOOTH);
    f.ramp = ramp;
  }
  smooth.draw();
  EXPECT_EQ(smooth.canvas.at(160, 119), smooth.ramps[1].shades[60]);

  // Objects likewise: object 1 first, object 0 over it at equal depth.
  Scene two;
  two.add_face({{0, 50, 400, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}});
  Object second = {};
  Face f = two.faces[0];
  f.ramp = 1;
  second.visible = 1;
  second.vertex_count = 3;
  second.face_count = 1;
  second.view_vertices = two.vertices.data();
  second.faces = &f;
  two.list.objects[1] = &second;
  two.list.count = 2;
  two.draw();
  EXPECT_EQ(two.canvas.at(160, 119), two.ramps[0].shades[100]);
  second.visible = 0;  // not drawn, whatever its faces say
  two.object.visible = 0;
  Canvas empty;
  two.canvas = empty;
  two.draw();
  EXPECT_TRUE(two.canvas.empty());
}

TEST(DrawFaces, RefusesFacesItCannotDrawSafely) {
  Scene bad;
  const std::initializer_list<Vec4> tri = {{0, 50, 400, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}};
  bad.add_face(tri).indices[2] = 99;  // no such vertex
  bad.add_face(tri).ramp = 2;         // no such ramp
  bad.add_face(tri).ramp = -1;
  bad.add_face(tri).vertex_count = 5;
  bad.add_face(tri).drawable = 0;
  make_clipped(bad.add_face(tri), bad.vertices);
  bad.faces.back().clip_count = 2;
  make_clipped(bad.add_face(tri), bad.vertices);
  bad.faces.back().clip_count = 6;
  bad.add_face({{0, 50, 0.5f, 1}, {-50, -50, 400, 1}, {50, -50, 400, 1}});  // depth truncates to 0
  bad.draw();
  EXPECT_TRUE(bad.canvas.empty());

  // A face marked on screen that projects off it is clipped, not written past the frame.
  Scene wide, marked;
  wide.add_face({{-900, 500, 400, 1}, {-50, -900, 400, 1}, {900, -50, 400, 1}}, SHADING_SMOOTH);
  marked.add_face({{-900, 500, 400, 1}, {-50, -900, 400, 1}, {900, -50, 400, 1}}, SHADING_SMOOTH);
  marked.faces[0].edge_clip = 1;
  wide.draw();
  marked.draw();
  EXPECT_TRUE(wide.canvas == marked.canvas);
  EXPECT_FALSE(wide.canvas.empty());
}

}  // namespace
