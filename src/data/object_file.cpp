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

std::uint32_t get_u32(const unsigned char* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
std::int32_t get_i32(const unsigned char* p) { return std::int32_t(get_u32(p)); }
float get_f32(const unsigned char* p) {
  std::uint32_t u = get_u32(p);
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}
void get_vec4(const unsigned char* p, Vec4* v) {
  v->x = get_f32(p);
  v->y = get_f32(p + 4);
  v->z = get_f32(p + 8);
  v->w = get_f32(p + 12);
}
bool finite3(float x, float y, float z) {
  return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

struct FileCloser {
  std::FILE* f;
  ~FileCloser() {
    if (f) std::fclose(f);
  }
};

bool read_exact(std::FILE* f, unsigned char* buf, std::size_t n) {
  return std::fread(buf, 1, n, f) == n;
}

// The fixed part into a fresh object; the counts decide the arrays' sizes.
int read_object(std::FILE* f, Object** out) {
  unsigned char fixed[FIXED_PART_SIZE];
  if (!read_exact(f, fixed, sizeof fixed)) return READ_TRUNCATED;
  const std::int32_t faces = get_i32(fixed + 16), vertices = get_i32(fixed + 20);
  if (vertices < 0 || vertices > MAX_VERTICES || faces < 0 || faces > MAX_FACES)
    return READ_OUT_OF_RANGE;
  Object* o = object_create(vertices, faces);
  if (!o) return READ_NO_MEMORY;
  *out = o;
  o->enabled = get_i32(fixed);
  o->mean_radius = get_f32(fixed + 4);
  o->cull_radius = get_f32(fixed + 8);
  o->bound_radius = get_f32(fixed + 12);
  std::memcpy(o->name, fixed + 24, sizeof o->name);
  o->name[sizeof o->name - 1] = '\0';
  o->visible = get_i32(fixed + 64);
  get_vec4(fixed + 68, &o->position);
  o->smooth = get_i32(fixed + 84);
  if (!finite3(o->mean_radius, o->cull_radius, o->bound_radius) ||
      !finite3(o->position.x, o->position.y, o->position.z))
    return READ_OUT_OF_RANGE;

  unsigned char buf[sizeof(Face)];
  for (Vec4* array : {o->vertices, o->vertex_normals})
    for (std::int32_t i = 0; i < vertices; ++i) {
      if (!read_exact(f, buf, sizeof(Vec4))) return READ_TRUNCATED;
      get_vec4(buf, &array[i]);
      if (!finite3(array[i].x, array[i].y, array[i].z)) return READ_OUT_OF_RANGE;
    }
  for (std::int32_t i = 0; i < faces; ++i) {
    if (!read_exact(f, buf, sizeof buf)) return READ_TRUNCATED;
    std::uint32_t words[FACE_WORDS];
    for (std::size_t w = 0; w < FACE_WORDS; ++w) words[w] = get_u32(buf + 4 * w);
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

void put_u32(unsigned char* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
  p[2] = std::uint8_t(v >> 16);
  p[3] = std::uint8_t(v >> 24);
}
void put_f32(unsigned char* p, float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, 4);
  put_u32(p, u);
}
void put_vec4(unsigned char* p, const Vec4& v) {
  put_f32(p, v.x);
  put_f32(p + 4, v.y);
  put_f32(p + 8, v.z);
  put_f32(p + 12, v.w);
}

bool write_object(std::FILE* f, const Object* o) {
  unsigned char fixed[FIXED_PART_SIZE];
  put_u32(fixed, std::uint32_t(o->enabled));
  put_f32(fixed + 4, o->mean_radius);
  put_f32(fixed + 8, o->cull_radius);
  put_f32(fixed + 12, o->bound_radius);
  put_u32(fixed + 16, std::uint32_t(o->face_count));
  put_u32(fixed + 20, std::uint32_t(o->vertex_count));
  std::memcpy(fixed + 24, o->name, sizeof o->name);
  put_u32(fixed + 64, std::uint32_t(o->visible));
  put_vec4(fixed + 68, o->position);
  put_u32(fixed + 84, std::uint32_t(o->smooth));
  if (std::fwrite(fixed, 1, sizeof fixed, f) != sizeof fixed) return false;
  unsigned char buf[sizeof(Face)];
  for (const Vec4* array : {o->vertices, o->vertex_normals})
    for (std::int32_t i = 0; i < o->vertex_count; ++i) {
      put_vec4(buf, array[i]);
      if (std::fwrite(buf, 1, sizeof(Vec4), f) != sizeof(Vec4)) return false;
    }
  for (std::int32_t i = 0; i < o->face_count; ++i) {
    std::uint32_t words[FACE_WORDS];
    std::memcpy(words, &o->faces[i], sizeof words);
    for (std::size_t w = 0; w < FACE_WORDS; ++w) put_u32(buf + 4 * w, words[w]);
    if (std::fwrite(buf, 1, sizeof buf, f) != sizeof buf) return false;
  }
  return true;
}
}  // namespace

int object_file_read(const char* path, ObjectList* list) {
  if (list->count >= MAX_OBJECTS) return READ_LIST_FULL;
  FileCloser file{std::fopen(path, "rb")};
  if (!file.f) return READ_CANNOT_OPEN;
  unsigned char header[6];
  if (!read_exact(file.f, header, 2)) return READ_BAD_MAGIC;
  if ((header[0] | header[1] << 8) != OBJECT_FILE_MAGIC) return READ_BAD_MAGIC;
  if (!read_exact(file.f, header + 2, 4)) return READ_TRUNCATED;
  const std::int32_t count = get_i32(header + 2);
  for (std::int32_t n = 0; n < count; ++n) {
    if (list->count >= MAX_OBJECTS) return READ_TOO_MANY_OBJECTS;
    const std::int32_t ramps_before = list->ramp_count;
    Object* o = nullptr;
    int code = read_object(file.f, &o);
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
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return READ_CANNOT_OPEN;
  unsigned char header[6];
  header[0] = OBJECT_FILE_MAGIC & 0xFF;
  header[1] = OBJECT_FILE_MAGIC >> 8;
  put_u32(header + 2, std::uint32_t(list->count));
  bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
  for (std::int32_t i = 0; ok && i < list->count; ++i) ok = write_object(f, list->objects[i]);
  if (std::fclose(f) != 0) ok = false;
  return ok ? READ_OK : WRITE_FAILED;
}
