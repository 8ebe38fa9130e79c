#include "data/object_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "temp_file.h"

namespace {
// A small object: V vertices on a line, F faces of 3 and 4 corners, all one
// colour. Every stored field gets a value no other field has, so a field
// written or read in another's place shows.
Object* make_object(const char* name, int v, int f, std::int32_t colour) {
  Object* o = object_create(v, f);
  std::strncpy(o->name, name, sizeof o->name - 1);
  o->enabled = 1;
  o->visible = 2;
  o->smooth = 3;
  o->position = {1.5f, -2.5f, 3.5f, 1};
  o->mean_radius = 4;
  o->bound_radius = 6;
  o->cull_radius = 8;
  for (int i = 0; i < v; ++i) {
    o->vertices[i] = {static_cast<float>(i), static_cast<float>(i * 2), static_cast<float>(-i), 1};
    o->vertex_normals[i] = {0, 1, 0, 0.5f};
  }
  for (int i = 0; i < f; ++i) {
    Face& face = o->faces[i];
    face.vertex_count = 3 + i % 2;
    for (int k = 0; k < 4; ++k) face.indices[k] = (i + k) % v;
    face.colour = colour;
    face.ramp = 77;
    face.shading = SHADING_SMOOTH;
    face.normal = {0, 0, -1};
    face.clip_intensity[4] = 12345 + i;
  }
  return o;
}

std::string le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}
std::string f32(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, 4);
  return le32(u);
}
std::string vec4(const Vec4& v) { return f32(v.x) + f32(v.y) + f32(v.z) + f32(v.w); }

// An object's record as the format lays it out, built field by field: the
// 88-byte fixed part, the vertices, the vertex normals, the faces' words.
std::string record(const Object* o) {
  std::string r = le32(o->enabled) + f32(o->mean_radius) + f32(o->cull_radius) +
                  f32(o->bound_radius) + le32(o->face_count) + le32(o->vertex_count) +
                  std::string(o->name, sizeof o->name) + le32(o->visible) + vec4(o->position) +
                  le32(o->smooth);
  for (int i = 0; i < o->vertex_count; ++i) r += vec4(o->vertices[i]);
  for (int i = 0; i < o->vertex_count; ++i) r += vec4(o->vertex_normals[i]);
  for (int i = 0; i < o->face_count; ++i) {
    std::uint32_t words[64];
    std::memcpy(words, &o->faces[i], sizeof words);
    for (std::uint32_t w : words) r += le32(w);
  }
  return r;
}

std::string round_trip_file(const std::vector<Object*>& objects) {
  ListHolder h;
  for (Object* o : objects) h.list.objects[h.list.count++] = o;
  TempFile file;
  EXPECT_EQ(object_file_write(file.c_str(), &h.list), 0);
  return file.read();
}

TEST(ObjectFile, WritesTheLayoutAndReadsBackEveryStoredFieldSharingRamps) {
  std::vector<Object*> objects = {make_object("first", 5, 4, 0x00FF0000),
                                  make_object("second", 4, 2, 0x0000FF00),
                                  make_object("third", 3, 1, 0x00FF0000)};
  std::vector<std::string> records;
  std::string expected = std::string("\x88\x5B", 2) + le32(3);
  for (const Object* o : objects) expected += records.emplace_back(record(o));
  const std::string bytes = round_trip_file(objects);  // frees the objects
  ASSERT_EQ(bytes.size(), expected.size());
  const auto differ = std::mismatch(bytes.begin(), bytes.end(), expected.begin()).first;
  EXPECT_EQ(differ - bytes.begin(), std::ssize(bytes)) << "first byte that differs";

  TempFile file(bytes);
  ListHolder h;
  ASSERT_EQ(object_file_read(file.c_str(), &h.list), 0);
  ASSERT_EQ(h.list.count, 3);
  EXPECT_EQ(h.list.ramp_count, 2);  // red first, then green; red shared
  EXPECT_EQ(h.list.ramps[0]->colour, 0x00FF0000);
  EXPECT_EQ(h.list.ramps[1]->colour, 0x0000FF00);
  EXPECT_EQ(h.list.ramps[0]->shades[255], 0xFE0000u);
  // Read back, each record is what was written but for the ramps, which the
  // reader gives out again by colour.
  for (int i = 0; i < 3; ++i) {
    Object* got = h.list.objects[i];
    for (int f = 0; f < got->face_count; ++f) {
      EXPECT_EQ(got->faces[f].ramp, i == 1 ? 1 : 0);
      got->faces[f].ramp = 77;
    }
    EXPECT_TRUE(record(got) == records[i]) << i;
  }
}

TEST(ObjectFile, EmptyCountsAndRefusals) {
  ListHolder h;
  TempFile empty_list(std::string("\x88\x5B\0\0\0\0", 6));
  EXPECT_EQ(object_file_read(empty_list.c_str(), &h.list), 0);
  TempFile negative(std::string("\x88\x5B\xFF\xFF\xFF\xFF", 6));
  EXPECT_EQ(object_file_read(negative.c_str(), &h.list), 0);
  EXPECT_EQ(h.list.count, 0);
  TempFile swapped(std::string("\x5B\x88\0\0\0\0", 6));
  EXPECT_EQ(object_file_read(swapped.c_str(), &h.list), 3);
  EXPECT_EQ(object_file_read("/nonexistent/objs.3dw", &h.list), 2);
  EXPECT_EQ(object_file_write("/nonexistent/objs.3dw", &h.list), 2);
  h.list.count = MAX_OBJECTS;  // full: the path is never opened
  EXPECT_EQ(object_file_read("/nonexistent/objs.3dw", &h.list), 1);
  h.list.count = 0;
}

// Every kind of damage is refused with its code, and the list keeps exactly
// the objects completed before it (the sanitizers catch stray reads).
TEST(ObjectFile, MalformedFilesAreRefusedCleanly) {
  const std::string good = round_trip_file({make_object("a", 4, 3, 0x123456)});
  const std::string two =
      round_trip_file({make_object("a", 4, 3, 0x123456), make_object("b", 4, 3, 0x654321)});
  const std::size_t second = 6 + 88 + 32 * 4 + 256 * 3;
  const std::size_t faces = 6 + 88 + 32 * 4;
  auto patch = [](std::string s, std::size_t at, const std::string& bytes) {
    return s.replace(at, bytes.size(), bytes);
  };
  struct Case {
    const char* what;
    std::string bytes;
    int code;
    int kept;
  };
  const Case cases[] = {
      {"empty file", "", 3, 0},
      {"one byte", "\x88", 3, 0},
      {"no count", std::string("\x88\x5B\x01", 3), 5, 0},
      {"garbage", std::string(300, '\xA5'), 3, 0},
      {"count beyond the records", patch(good, 2, le32(2)), 5, 1},
      {"truncated in the faces", good.substr(0, good.size() - 1), 5, 0},
      {"truncated in the vertices", good.substr(0, 6 + 88 + 20), 5, 0},
      {"negative vertex count", patch(good, 6 + 20, le32(0xFFFFFFFF)), 6, 0},
      {"3001 vertices", patch(good, 6 + 20, le32(3001)), 6, 0},
      {"huge face count", patch(good, 6 + 16, le32(0x7FFFFFFF)), 6, 0},
      {"NaN vertex", patch(good, 6 + 88 + 4, le32(0x7FC00000)), 6, 0},
      {"infinite face normal", patch(good, faces + 44, le32(0x7F800000)), 6, 0},
      {"index past the vertices", patch(good, faces + 60, le32(4)), 7, 0},
      {"negative index", patch(good, faces + 256 + 64, le32(0xFFFFFFFF)), 7, 0},
      {"five corners", patch(good, faces, le32(5)), 7, 0},
      {"bad second object", patch(two, second + 20, le32(0x80000000)), 6, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFile file(c.bytes);
    ListHolder h;
    EXPECT_EQ(object_file_read(file.c_str(), &h.list), c.code);
    EXPECT_EQ(h.list.count, c.kept);
    EXPECT_EQ(h.list.ramp_count, c.kept);  // no ramp of a failed object remains
  }
}

TEST(ObjectFile, LongNamesAreCutAndTablesNeverOverflow) {
  std::string bytes = round_trip_file({make_object("x", 3, 1, 1)});
  bytes.replace(6 + 24, 40, std::string(40, 'N'));  // no terminator
  TempFile file(bytes);
  ListHolder h;
  ASSERT_EQ(object_file_read(file.c_str(), &h.list), 0);
  EXPECT_EQ(std::strlen(h.list.objects[0]->name), 39u);

  // Fill the list to 999 objects and the ramps to 100: the next file has two
  // objects, the first with a new colour.
  ListHolder full;
  for (int i = 0; i < MAX_RAMPS; ++i) object_list_ramp(&full.list, 1000 + i);
  TempFile colour_file(round_trip_file({make_object("c", 3, 1, 0x00ABCDEF)}));
  EXPECT_EQ(object_file_read(colour_file.c_str(), &full.list), 9);
  EXPECT_EQ(full.list.ramp_count, MAX_RAMPS);
  EXPECT_EQ(full.list.count, 0);

  ListHolder many;
  for (int i = 0; i < MAX_OBJECTS - 1; ++i)
    many.list.objects[many.list.count++] = object_create(0, 0);
  TempFile two(round_trip_file({make_object("d", 3, 1, 5), make_object("e", 3, 1, 5)}));
  EXPECT_EQ(object_file_read(two.c_str(), &many.list), 8);
  EXPECT_EQ(many.list.count, MAX_OBJECTS);
}
}  // namespace
