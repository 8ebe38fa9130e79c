#include "data/ase/ase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "data/object_file.h"
#include "temp_file.h"

namespace {
// One object in the layout an exporter writes; parts can be left out or
// replaced to make damaged files.
struct AseObject {
  std::string name = "Box";
  std::string tm_pos = "10.0000\t20.0000\t30.0000";
  int vertex_count = 4, face_count = 2;
  std::string vertices =
      "\t\t\t*MESH_VERTEX    0\t11.0000\t22.0000\t33.0000\n"
      "\t\t\t*MESH_VERTEX    1\t13.0000\t22.0000\t33.0000\n"
      "\t\t\t*MESH_VERTEX    2\t11.0000\t23.0000\t33.0000\n"
      "\t\t\t*MESH_VERTEX    3\t11.0000\t22.0000\t34.0000\n";
  std::string faces =
      "\t\t\t*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    0\t "
      "*MESH_SMOOTHING 1 \t*MESH_MTLID 0\n"
      "\t\t\t*MESH_FACE    1:    A:    0 B:    2 C:    3 AB:    1 BC:    1 CA:    0\t "
      "*MESH_SMOOTHING 1 \t*MESH_MTLID 0\n";
  std::string colour = "\t*WIREFRAME_COLOR 1.0000\t0.5000\t0.0000\n";

  std::string head() const {
    return "*GEOMOBJECT {\n\t*NODE_NAME \"" + name + "\"\n\t*NODE_TM {\n\t\t*NODE_NAME \"" + name +
           "\"\n\t\t*TM_ROW3 0.0 0.0 0.0\n\t\t*TM_POS " + tm_pos +
           "\n\t}\n\t*MESH {\n"
           "\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX " +
           std::to_string(vertex_count) + "\n\t\t*MESH_NUMFACES " + std::to_string(face_count) +
           "\n";
  }
  std::string mesh() const {
    return "\t\t*MESH_VERTEX_LIST {\n" + vertices + "\t\t}\n\t\t*MESH_FACE_LIST {\n" + faces +
           "\t\t}\n\t\t*MESH_NORMALS {\n\t\t\t*MESH_FACENORMAL 0\t0.0\t0.0\t1.0\n"
           "\t\t\t\t*MESH_VERTEXNORMAL 0\t0.0\t0.0\t1.0\n\t\t}\n\t}\n\t*MATERIAL_REF 0\n";
  }
  std::string text() const { return head() + mesh() + colour + "}\n"; }
};

const std::string SCENE_HEAD =
    "*3DSMAX_ASCIIEXPORT\t200\n*SCENE {\n\t*SCENE_FIRSTFRAME 0\n}\n"
    "*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n\t\t*MATERIAL_NAME \"m\"\n\t}\n}\n";

int import(const std::string& text, ListHolder& h) {
  TempFile file(text);
  return ase_import(file.c_str(), &h.list);
}

TEST(AseImport, PlacesAxesColourAndNormals) {
  ListHolder h;
  ASSERT_EQ(import(SCENE_HEAD + AseObject().text(), h), 0);
  ASSERT_EQ(h.list.count, 1);
  const Object* o = h.list.objects[0];
  EXPECT_STREQ(o->name, "Box");
  EXPECT_EQ(o->position.x, 10.0f);  // y and z exchanged
  EXPECT_EQ(o->position.y, 30.0f);
  EXPECT_EQ(o->position.z, 20.0f);
  EXPECT_EQ(o->vertices[0].x, 1.0f);
  EXPECT_EQ(o->vertices[0].y, 3.0f);
  EXPECT_EQ(o->vertices[0].z, 2.0f);
  EXPECT_EQ(o->vertices[0].w, 1.0f);
  EXPECT_EQ(o->world_vertices[0].y, 22.0f);  // the file's axes
  EXPECT_EQ(o->faces[1].colour, 0x00FF7F00);
  EXPECT_EQ(o->faces[0].shading, SHADING_FLAT);
  EXPECT_EQ(o->faces[0].vertex_count, 3);
  EXPECT_EQ(o->faces[1].indices[2], 3);
  EXPECT_EQ(o->smooth, 0);
  EXPECT_EQ(o->enabled, 1);

  // Local vertices (1,3,2), (3,3,2), (1,3,3), (1,4,2). Face 0 lies in the
  // engine's y = 3 plane, face 1 in its x = 1 plane; each normal is
  // (C - A) x (B - A), which sets the side the face is seen from. Vertex 0
  // and 2 are shared, so their normals are the normalised mean.
  const Vec3 n0 = o->faces[0].normal, n1 = o->faces[1].normal;
  EXPECT_TRUE(n0.x == 0 && n0.y == 1 && n0.z == 0) << n0.x << " " << n0.y << " " << n0.z;
  EXPECT_TRUE(n1.x == 1 && n1.y == 0 && n1.z == 0) << n1.x << " " << n1.y << " " << n1.z;
  const float r = 1 / std::sqrt(2.0f);
  EXPECT_NEAR(o->vertex_normals[0].x, r, 1e-6);
  EXPECT_NEAR(o->vertex_normals[0].y, r, 1e-6);
  EXPECT_EQ(o->vertex_normals[0].w, 1.0f);
  EXPECT_EQ(o->vertex_normals[1].y, 1.0f);  // only in face 0
  // The farthest vertex is not the last one.
  EXPECT_NEAR(o->bound_radius, std::sqrt(22.0f), 1e-5);
  EXPECT_NEAR(o->cull_radius, o->bound_radius * 4 / 3, 1e-4);
  const float lengths = std::sqrt(14.0f) + std::sqrt(22.0f) + std::sqrt(19.0f) + std::sqrt(21.0f);
  EXPECT_NEAR(o->mean_radius, lengths / 4, 1e-5);
}

TEST(AseImport, RampsByColourAcrossObjectsAndFiles) {
  AseObject other;
  other.colour = "\t*WIREFRAME_COLOR 0.0 0.0 1.0\n";
  ListHolder h;
  ASSERT_EQ(import(AseObject().text() + AseObject().text(), h), 0);
  ASSERT_EQ(import(other.text(), h), 0);
  EXPECT_EQ(h.list.count, 3);
  EXPECT_EQ(h.list.ramp_count, 2);
  EXPECT_EQ(h.list.objects[1]->faces[0].ramp, 0);
  EXPECT_EQ(h.list.objects[2]->faces[0].ramp, 1);
  EXPECT_EQ(h.list.ramps[1]->colour, 0x0000FF);
}

TEST(AseImport, DegenerateInputGetsDefinedNormals) {
  AseObject o;
  o.name = std::string(45, 'n');
  o.vertex_count = 4;
  o.face_count = 1;
  // One zero-area face (all corners on one point); vertex 3 is used by none.
  o.faces = "*MESH_FACE 0: A: 0 B: 0 C: 0\n";
  o.colour = "*WIREFRAME_COLOR 2.0 -1.0 nan\n";  // clamped to the colour range
  ListHolder h;
  ASSERT_EQ(import(o.text(), h), 0);
  const Object* obj = h.list.objects[0];
  EXPECT_EQ(std::string(obj->name), std::string(39, 'n'));
  EXPECT_EQ(obj->faces[0].colour, 0x00FF0000);
  for (const Vec3 n : {obj->faces[0].normal})
    EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && n.z == 1.0f);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(obj->vertex_normals[i].z, 1.0f) << i;
}

// Sections written in other orders and with extra fields.
TEST(AseImport, OtherExporterLayouts) {
  AseObject spaced;  // single spaces, extra fields after the numbers
  spaced.vertices =
      "*MESH_VERTEX 0 11 22 33 extra\n*MESH_VERTEX 1 12 22 33\n"
      "*MESH_VERTEX 2 11 23 33\n*MESH_VERTEX 3 11 22 34\n";
  spaced.faces = "*MESH_FACE 0:A:0 B:1 C:2\n*MESH_FACE 1: A: 0 B: 2 C: 3 *MESH_MTLID 3\n";
  ListHolder h;
  ASSERT_EQ(import(spaced.text(), h), 0);
  EXPECT_EQ(h.list.objects[0]->faces[1].indices[2], 3);
  EXPECT_EQ(h.list.objects[0]->vertices[3].y, 4.0f);

  // The colour written before the mesh: found only in the next object, so
  // the first must fail rather than take another object's colour.
  AseObject early;
  std::string first = early.head();
  first.insert(first.find("\t*MESH {"), early.colour);
  first += early.mesh() + "}\n";
  ListHolder h2;
  EXPECT_EQ(import(first + AseObject().text(), h2), 11);
  EXPECT_EQ(h2.list.count, 0);
  ListHolder h3;
  EXPECT_EQ(import(first, h3), 8);

  // As other exporters write it: comments, normals and texture lists before
  // the vertex list and between it and the faces. Keywords match whole, so
  // *MESH_VERTEXNORMAL and *MESH_FACENORMAL are never taken for the lists'
  // lines: the object file is the one the plain layout gives.
  const std::string normals =
      "\t\t*MESH_NORMALS {\n\t\t\t*MESH_FACENORMAL 0\t0.0\t0.0\t1.0\n"
      "\t\t\t\t*MESH_VERTEXNORMAL 0\t0.0\t0.0\t1.0\n\t\t\t*MESH_FACENORMAL 1\t0.0\t1.0\t0.0\n"
      "\t\t\t\t*MESH_VERTEXNORMAL 2\t0.0\t1.0\t0.0\n\t\t}\n";
  AseObject o;
  const std::string exported =
      o.head() + "\t\t*COMMENT \"normals first\"\n" + normals +
      "\t\t*MESH_NUMTVERTEX 1\n\t\t*MESH_TVERTLIST {\n\t\t\t*MESH_TVERT 0\t0.5\t0.5\t0.0\n\t\t}\n"
      "\t\t*MESH_VERTEX_LIST {\n" +
      o.vertices + "\t\t}\n" + normals +
      "\t\t*MESH_TFACELIST {\n\t\t\t*MESH_TFACE 0\t0\t0\t0\n\t\t}\n\t\t*MESH_FACE_LIST {\n" +
      o.faces + "\t\t}\n\t\t*COMMENT \"end\"\n\t}\n" + o.colour + "}\n";
  std::string written[2];
  for (int k = 0; k < 2; ++k) {
    ListHolder h4;
    ASSERT_EQ(import(k ? exported : o.text(), h4), 0) << k;
    TempFile out;
    ASSERT_EQ(object_file_write(out.c_str(), &h4.list), 0);
    written[k] = out.read();
  }
  EXPECT_FALSE(written[0].empty());
  EXPECT_TRUE(written[0] == written[1]);
}

TEST(AseImport, LimitsAndDamageAreRefusedCleanly) {
  auto with = [](auto change) {
    AseObject o;
    change(o);
    return o.text();
  };
  const std::string good = AseObject().text();
  struct Case {
    const char* what;
    std::string text;
    int code;
  };
  const Case cases[] = {
      {"empty", "", 0},
      {"no objects", SCENE_HEAD, 0},
      {"garbage", std::string(2000, '*') + "GEOMOBJEC\x01\xff", 0},
      {"3001 vertices", with([](AseObject& o) { o.vertex_count = 3001; }), 6},
      {"negative vertices", with([](AseObject& o) { o.vertex_count = -1; }), 6},
      {"3001 faces", with([](AseObject& o) { o.face_count = 3001; }), 7},
      {"negative faces", with([](AseObject& o) { o.face_count = -5; }), 7},
      {"ends before the colour", good.substr(0, good.find("\t*WIREFRAME")), 8},
      {"ends in the faces", good.substr(0, good.find("*MESH_FACE    1")), 3},
      {"ends in the name", "*GEOMOBJECT {\n*NODE_NAME \"unterminated", 3},
      {"ends after the token", "*GEOMOBJECT {\n*NODE_NAME", 3},
      {"more vertices declared", with([](AseObject& o) { o.vertex_count = 5; }), 10},
      {"index past the vertices", with([](AseObject& o) { o.vertex_count = 3; }), 12},
      {"negative index", with([](AseObject& o) {
         o.faces = "*MESH_FACE 0: A: -1 B: 1 C: 2\n*MESH_FACE 1: A: 0 B: 1 C: 2\n";
       }),
       12},
      {"unreadable number", with([](AseObject& o) { o.tm_pos = "ten 20 30"; }), 10},
      {"infinite vertex",
       with([](AseObject& o) { o.vertices.replace(o.vertices.find("11.0000"), 7, "inf"); }), 10},
      {"far vertex",
       with([](AseObject& o) { o.vertices.replace(o.vertices.find("11.0000"), 7, "1e30"); }), 10},
      {"unreadable colour", with([](AseObject& o) { o.colour = "*WIREFRAME_COLOR red\n"; }), 10},
      {"second object damaged",
       good + with([](AseObject& o) { o.faces = "*MESH_FACE 0: A: 0 B: 1 C: 9\n"; }), 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ListHolder h;
    EXPECT_EQ(import(c.text, h), c.code);
    if (c.code == 0) continue;
    // The refusal says where: the keyword, the line's number in its list.
    TempFile file(c.text);
    AseWhere where;
    ListHolder again;
    ase_import(file.c_str(), &again.list, &where);
    if (std::string(c.what) == "index past the vertices") {
      EXPECT_STREQ(where.keyword, "*MESH_FACE");
      EXPECT_EQ(where.item, 1);
      EXPECT_STREQ(where.object, "Box");
    }
    if (std::string(c.what) == "more vertices declared") {
      EXPECT_EQ(where.item, 4);
    }
    EXPECT_NE(*where.keyword, '\0');
    const int kept = std::string(c.what) == "second object damaged" ? 1 : 0;
    EXPECT_EQ(h.list.count, kept);
    EXPECT_EQ(h.list.ramp_count, kept);
  }
}

TEST(AseImport, FullTablesAndMissingFile) {
  ListHolder h;
  EXPECT_EQ(ase_import("/nonexistent/scene.ase", &h.list), 1);
  for (int i = 0; i < MAX_RAMPS; ++i) object_list_ramp(&h.list, 0x010000 + i);
  EXPECT_EQ(import(AseObject().text(), h), 13);
  EXPECT_EQ(h.list.count, 0);
  object_list_drop_ramps(&h.list, 0);

  for (int i = 0; i < MAX_OBJECTS - 1; ++i) h.list.objects[h.list.count++] = object_create(0, 0);
  EXPECT_EQ(import(AseObject().text() + AseObject().text(), h), 5);
  EXPECT_EQ(h.list.count, MAX_OBJECTS);
  EXPECT_EQ(import(AseObject().text(), h), 5);
}
}  // namespace
