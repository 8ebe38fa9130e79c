// "objs.3dw": magic 0x5B88, an int32 object count, then per object an 88-byte
// fixed part (in file order: enabled, mean_radius, cull_radius, bound_radius,
// face_count, vertex_count, name[40], visible, position, smooth), the vertices,
// the vertex normals and the 256-byte face records. All little-endian.
//
// Reader codes: 0 done, 1 list already full, 2 cannot open, 3 wrong magic,
// 4 out of memory, and for malformed files:
//   5 the file ends inside a record;
//   6 a count outside 0..3000, or a position, radius, vertex, vertex normal or
//     face normal that is not a finite number;
//   7 a face with other than 3 or 4 corners or an index outside 0..V-1;
//   8 the file holds more objects than the list has free slots;
//   9 the faces bring a 101st distinct colour.
// On any failure the object being read and the ramps made for it are freed;
// objects completed before it stay in the list. A name without a terminator in
// its 40 bytes is cut to 39 characters.
//
// Writer codes: 0 done, 2 cannot create, 5 a write failed (disk full...).
#include "data/object_file.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "data/binary_io.h"
#include "engine/engine.h"
#include "engine/model.h"

namespace {
constexpr std::uint16_t OBJECT_FILE_MAGIC = 0x5B88;
constexpr std::size_t FIXED_PART_SIZE = 88;
constexpr std::size_t FACE_WORDS = sizeof(Face) / 4;

enum ReadCode {
  READ_OK = 0,
  READ_LIST_FULL = 1,
  READ_CANNOT_OPEN = 2,
  READ_BAD_MAGIC = 3,
  READ_NO_MEMORY = 4,
  READ_TRUNCATED = 5,
  READ_OUT_OF_RANGE = 6,
  READ_BAD_FACE = 7,
  READ_TOO_MANY_OBJECTS = 8,
  READ_TOO_MANY_COLOURS = 9,
  WRITE_FAILED = 5,
};

void get_vec4(const std::uint8_t* p, Vec4* v) {
  v->x = le_f32(p);
  v->y = le_f32(p + 4);
  v->z = le_f32(p + 8);
  v->w = le_f32(p + 12);
}
bool finite3(float x, float y, float z) {
  return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

bool read_exact(std::FILE* f, std::uint8_t* buf, std::size_t n) {
  return std::fread(buf, 1, n, f) == n;
}

// The fixed part into a fresh object; the counts decide the arrays' sizes.
int read_object(std::FILE* f, Object** out) {
  std::uint8_t fixed[FIXED_PART_SIZE];
  if (!read_exact(f, fixed, sizeof fixed)) return READ_TRUNCATED;
  const std::int32_t faces = le_i32(fixed + 16), vertices = le_i32(fixed + 20);
  if (vertices < 0 || vertices > MAX_VERTICES || faces < 0 || faces > MAX_FACES)
    return READ_OUT_OF_RANGE;
  Object* o = object_create(vertices, faces);
  if (!o) return READ_NO_MEMORY;
  *out = o;
  o->enabled = le_i32(fixed);
  o->mean_radius = le_f32(fixed + 4);
  o->cull_radius = le_f32(fixed + 8);
  o->bound_radius = le_f32(fixed + 12);
  std::memcpy(o->name, fixed + 24, sizeof o->name);
  o->name[sizeof o->name - 1] = '\0';
  o->visible = le_i32(fixed + 64);
  get_vec4(fixed + 68, &o->position);
  o->smooth = le_i32(fixed + 84);
  if (!finite3(o->mean_radius, o->cull_radius, o->bound_radius) ||
      !finite3(o->position.x, o->position.y, o->position.z))
    return READ_OUT_OF_RANGE;

  std::uint8_t buf[sizeof(Face)];
  for (Vec4* array : {o->vertices, o->vertex_normals})
    for (std::int32_t i = 0; i < vertices; ++i) {
      if (!read_exact(f, buf, sizeof(Vec4))) return READ_TRUNCATED;
      get_vec4(buf, &array[i]);
      if (!finite3(array[i].x, array[i].y, array[i].z)) return READ_OUT_OF_RANGE;
    }
  for (std::int32_t i = 0; i < faces; ++i) {
    if (!read_exact(f, buf, sizeof buf)) return READ_TRUNCATED;
    std::uint32_t words[FACE_WORDS];
    for (std::size_t w = 0; w < FACE_WORDS; ++w) words[w] = le_u32(buf + 4 * w);
    Face& face = o->faces[i];
    std::memcpy(&face, words, sizeof face);
    if (face.vertex_count != 3 && face.vertex_count != 4) return READ_BAD_FACE;
    for (std::int32_t k = 0; k < face.vertex_count; ++k)
      if (face.indices[k] < 0 || face.indices[k] >= vertices) return READ_BAD_FACE;
    if (!finite3(face.normal.x, face.normal.y, face.normal.z)) return READ_OUT_OF_RANGE;
  }
  return READ_OK;
}

// Gives every face the ramp of its colour.
int assign_ramps(ObjectList* list, Object* o) {
  for (std::int32_t i = 0; i < o->face_count; ++i) {
    int ramp = object_list_ramp(list, o->faces[i].colour);
    if (ramp == RAMP_TABLE_FULL) return READ_TOO_MANY_COLOURS;
    if (ramp == RAMP_NO_MEMORY) return READ_NO_MEMORY;
    o->faces[i].ramp = ramp;
  }
  return READ_OK;
}

void put_vec4(std::uint8_t* p, const Vec4& v) {
  le_put_f32(p, v.x);
  le_put_f32(p + 4, v.y);
  le_put_f32(p + 8, v.z);
  le_put_f32(p + 12, v.w);
}

bool write_object(std::FILE* f, const Object* o) {
  std::uint8_t fixed[FIXED_PART_SIZE];
  le_put_u32(fixed, static_cast<std::uint32_t>(o->enabled));
  le_put_f32(fixed + 4, o->mean_radius);
  le_put_f32(fixed + 8, o->cull_radius);
  le_put_f32(fixed + 12, o->bound_radius);
  le_put_u32(fixed + 16, static_cast<std::uint32_t>(o->face_count));
  le_put_u32(fixed + 20, static_cast<std::uint32_t>(o->vertex_count));
  std::memcpy(fixed + 24, o->name, sizeof o->name);
  le_put_u32(fixed + 64, static_cast<std::uint32_t>(o->visible));
  put_vec4(fixed + 68, o->position);
  le_put_u32(fixed + 84, static_cast<std::uint32_t>(o->smooth));
  if (std::fwrite(fixed, 1, sizeof fixed, f) != sizeof fixed) return false;
  std::uint8_t buf[sizeof(Face)];
  for (const Vec4* array : {o->vertices, o->vertex_normals})
    for (std::int32_t i = 0; i < o->vertex_count; ++i) {
      put_vec4(buf, array[i]);
      if (std::fwrite(buf, 1, sizeof(Vec4), f) != sizeof(Vec4)) return false;
    }
  for (std::int32_t i = 0; i < o->face_count; ++i) {
    std::uint32_t words[FACE_WORDS];
    std::memcpy(words, &o->faces[i], sizeof words);
    for (std::size_t w = 0; w < FACE_WORDS; ++w) le_put_u32(buf + 4 * w, words[w]);
    if (std::fwrite(buf, 1, sizeof buf, f) != sizeof buf) return false;
  }
  return true;
}
}  // namespace

int object_file_read(const char* path, ObjectList* list) {
  if (list->count >= MAX_OBJECTS) return READ_LIST_FULL;
  const FileHandle file(std::fopen(path, "rb"));
  if (!file) return READ_CANNOT_OPEN;
  std::uint8_t header[6];
  if (!read_exact(file.get(), header, 2)) return READ_BAD_MAGIC;
  if (le_u16(header) != OBJECT_FILE_MAGIC) return READ_BAD_MAGIC;
  if (!read_exact(file.get(), header + 2, 4)) return READ_TRUNCATED;
  const std::int32_t count = le_i32(header + 2);
  for (std::int32_t n = 0; n < count; ++n) {
    if (list->count >= MAX_OBJECTS) return READ_TOO_MANY_OBJECTS;
    const std::int32_t ramps_before = list->ramp_count;
    Object* o = nullptr;
    int code = read_object(file.get(), &o);
    if (code == READ_OK) code = assign_ramps(list, o);
    if (code != READ_OK) {
      object_free(o);
      object_list_drop_ramps(list, ramps_before);
      return code;
    }
    list->objects[list->count++] = o;
  }
  return READ_OK;
}

int object_file_write(const char* path, const ObjectList* list) {
  FileHandle file(std::fopen(path, "wb"));
  if (!file) return READ_CANNOT_OPEN;
  std::uint8_t header[6];
  header[0] = OBJECT_FILE_MAGIC & 0xFF;
  header[1] = OBJECT_FILE_MAGIC >> 8;
  le_put_u32(header + 2, static_cast<std::uint32_t>(list->count));
  bool ok = std::fwrite(header, 1, sizeof header, file.get()) == sizeof header;
  for (std::int32_t i = 0; ok && i < list->count; ++i)
    ok = write_object(file.get(), list->objects[i]);
  // Buffered writes fail at the latest when the file is closed.
  if (std::fclose(file.release()) != 0) ok = false;
  return ok ? READ_OK : WRITE_FAILED;
}
