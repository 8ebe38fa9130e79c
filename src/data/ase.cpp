// The ASE text importer. It is not a parser: for each object it searches the
// text for a fixed sequence of tokens (a token matches as a prefix, so
// "*MESH_VERTEX" also finds the vertex list's header) and scans the numbers
// after each. The file's z axis becomes the engine's y axis.
//
// Codes: 0 done, 1 cannot open, 3 end of file inside an object, 4 out of
// memory, 5 list full, 6 vertex count above 3000 or negative, 7 face count
// above 3000 or negative, 8 end of file before the colour, 9 mesh_build out of
// memory, and for malformed input:
//   10 a number after a token cannot be read, or is not finite, or a
//      coordinate's magnitude exceeds 1e6;
//   11 an object's tokens run into the next "*GEOMOBJECT" (a section missing
//      or out of order), so nothing of the next object is taken for this one;
//   12 a face index outside 0..V-1;
//   13 the object's colour would be a 101st shade ramp.
// A failed object is freed with any ramp made for it; objects completed before
// it stay in the list. Names are cut to 39 characters. Colour components are
// clamped to 0..1. A face of zero area gets the normal (0, 0, 1), as does a
// vertex whose face normals cancel or that no face uses.
#include "data/ase.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/convert.h"
#include "engine/engine.h"
#include "engine/model.h"
#include "engine/vec.h"

namespace {
enum AseCode {
  ASE_OK = 0,
  ASE_CANNOT_OPEN = 1,
  ASE_END_IN_OBJECT = 3,
  ASE_NO_MEMORY = 4,
  ASE_LIST_FULL = 5,
  ASE_TOO_MANY_VERTICES = 6,
  ASE_TOO_MANY_FACES = 7,
  ASE_END_BEFORE_COLOUR = 8,
  ASE_MESH_NO_MEMORY = 9,
  ASE_BAD_NUMBER = 10,
  ASE_RAN_INTO_NEXT = 11,
  ASE_BAD_INDEX = 12,
  ASE_TOO_MANY_COLOURS = 13,
};

constexpr double MAX_COORDINATE = 1e6;
constexpr Vec3 DEFAULT_NORMAL = {0.0f, 0.0f, 1.0f};

struct AseFile {
  std::FILE* f;
  long length;  // measured once at opening
  long pos;
};

enum Search { FOUND, END, CROSSED };

// The next character, or -1 once the measured length is reached.
int ase_next(AseFile* a) {
  if (a->pos >= a->length) return -1;
  int c = std::fgetc(a->f);
  if (c == EOF) {
    a->pos = a->length;
    return -1;
  }
  ++a->pos;
  return c;
}

// Finds the token (with its leading '*') and drops the character after it.
// Inside an object the search also watches for the next "*GEOMOBJECT".
Search ase_search(AseFile* a, const char* token, bool inside_object) {
  static const char GEOM[] = "*GEOMOBJECT";
  for (;;) {
    int c = ase_next(a);
    if (c < 0) return END;
    if (c != '*') continue;
    if ((c = ase_next(a)) < 0) return END;
    const char* candidate = nullptr;
    if (c == token[1]) candidate = token;
    else if (inside_object && c == GEOM[1]) candidate = GEOM;
    else continue;
    std::size_t i = 2;
    for (; candidate[i]; ++i) {
      if ((c = ase_next(a)) < 0) return END;
      if (c != candidate[i]) break;
    }
    if (candidate[i]) continue;  // the failing character is consumed
    if (candidate == GEOM) return CROSSED;
    if (ase_next(a) < 0) return END;
    return FOUND;
  }
}

// fscanf at the current place; keeps the position in step.
template <typename... Args>
bool ase_scan(AseFile* a, int expected, const char* format, Args... args) {
  int n = std::fscanf(a->f, format, args...);
  long p = std::ftell(a->f);
  a->pos = p < 0 ? a->length : p;
  return n == expected;
}

bool coordinate_ok(float v) { return std::isfinite(v) && std::fabs(v) <= MAX_COORDINATE; }

// The search result as the code of a failure, inside an object.
int search_failure(Search s, int at_end) { return s == CROSSED ? ASE_RAN_INTO_NEXT : at_end; }

int colour_component(float v) {
  if (!(v > 0.0f)) return 0;  // also NaN
  if (v > 1.0f) v = 1.0f;
  return to_int32(double(v) * 255.0);
}

// Reads one object's tokens after its "*GEOMOBJECT" into a new object.
int ase_read_object(AseFile* a, ObjectList* list, Object** out, std::int32_t* ramps_before) {
  Search s;
  if ((s = ase_search(a, "*NODE_NAME", true)) != FOUND) return search_failure(s, ASE_END_IN_OBJECT);
  if (ase_next(a) < 0) return ASE_END_IN_OBJECT;  // the opening quote
  char name[40] = {};
  std::size_t length = 0;
  for (int c; (c = ase_next(a)) != '"';) {
    if (c < 0) return ASE_END_IN_OBJECT;
    if (length < sizeof name - 1) name[length++] = char(c);
  }

  Vec4 position = {0, 0, 0, 1};
  if ((s = ase_search(a, "*TM_POS", true)) != FOUND) return search_failure(s, ASE_END_IN_OBJECT);
  if (!ase_scan(a, 3, "%f\t%f\t%f", &position.x, &position.y, &position.z) ||
      !coordinate_ok(position.x) || !coordinate_ok(position.y) || !coordinate_ok(position.z))
    return ASE_BAD_NUMBER;

  int vertex_count = 0, face_count = 0;
  if ((s = ase_search(a, "*MESH_NUMVERTEX", true)) != FOUND)
    return search_failure(s, ASE_END_IN_OBJECT);
  if (!ase_scan(a, 1, "%d", &vertex_count)) return ASE_BAD_NUMBER;
  if (vertex_count > MAX_VERTICES || vertex_count < 0) return ASE_TOO_MANY_VERTICES;
  if ((s = ase_search(a, "*MESH_NUMFACES", true)) != FOUND)
    return search_failure(s, ASE_END_IN_OBJECT);
  if (!ase_scan(a, 1, "%d", &face_count)) return ASE_BAD_NUMBER;
  if (face_count > MAX_FACES || face_count < 0) return ASE_TOO_MANY_FACES;

  Object* o = object_create(vertex_count, face_count);
  if (!o) return ASE_NO_MEMORY;
  *out = o;
  std::memcpy(o->name, name, sizeof name);
  o->position = position;

  if ((s = ase_search(a, "*MESH_VERTEX", true)) != FOUND) return search_failure(s, ASE_END_IN_OBJECT);
  for (int i = 0; i < vertex_count; ++i) {
    if ((s = ase_search(a, "*MESH_VERTEX", true)) != FOUND)
      return search_failure(s, ASE_END_IN_OBJECT);
    int index;
    Vec4& w = o->world_vertices[i];
    if (!ase_scan(a, 4, "%d\t%f\t%f\t%f", &index, &w.x, &w.y, &w.z)) return ASE_BAD_NUMBER;
    Vec4& v = o->vertices[i];
    v.x = float(double(w.x) - position.x);
    v.y = float(double(w.z) - position.z);  // y and z exchanged
    v.z = float(double(w.y) - position.y);
    if (!coordinate_ok(w.x) || !coordinate_ok(w.y) || !coordinate_ok(w.z)) return ASE_BAD_NUMBER;
  }
  o->position.y = position.z;
  o->position.z = position.y;

  if ((s = ase_search(a, "*MESH_FACE", true)) != FOUND) return search_failure(s, ASE_END_IN_OBJECT);
  for (int i = 0; i < face_count; ++i) {
    if ((s = ase_search(a, "*MESH_FACE", true)) != FOUND)
      return search_failure(s, ASE_END_IN_OBJECT);
    int index;
    Face& f = o->faces[i];
    if (!ase_scan(a, 4, "%d:\tA:\t%d B:\t%d C:\t%d", &index, &f.indices[0], &f.indices[1],
                  &f.indices[2]))
      return ASE_BAD_NUMBER;
    for (int k = 0; k < 3; ++k)
      if (f.indices[k] < 0 || f.indices[k] >= vertex_count) return ASE_BAD_INDEX;
    f.vertex_count = 3;
    f.two_sided = 0;
    f.drawable = 1;
    f.shading = SHADING_FLAT;
  }

  if ((s = ase_search(a, "*WIREFRAME_COLOR", true)) != FOUND)
    return search_failure(s, ASE_END_BEFORE_COLOUR);
  float red, green, blue;
  if (!ase_scan(a, 3, "%f\t%f\t%f", &red, &green, &blue)) return ASE_BAD_NUMBER;
  const std::int32_t colour = colour_component(red) << 16 | colour_component(green) << 8 |
                              colour_component(blue);

  *ramps_before = list->ramp_count;
  const int ramp = object_list_ramp(list, colour);
  if (ramp == RAMP_TABLE_FULL) return ASE_TOO_MANY_COLOURS;
  if (ramp == RAMP_NO_MEMORY) return ASE_NO_MEMORY;
  for (int i = 0; i < face_count; ++i) {
    o->faces[i].colour = colour;
    o->faces[i].ramp = ramp;
  }
  o->enabled = 1;
  o->visible = 1;
  o->smooth = 0;
  for (int i = 0; i < face_count; ++i)
    if (o->faces[i].shading == SHADING_SMOOTH) o->smooth = 1;
  if (mesh_build(o) != 0) return ASE_NO_MEMORY;
  return ASE_OK;
}

void normal_set(Vec4* n, Vec3 v) {
  n->x = v.x;
  n->y = v.y;
  n->z = v.z;
}
}  // namespace

int ase_import(const char* path, ObjectList* list) {
  if (list->count >= MAX_OBJECTS) return ASE_LIST_FULL;
  AseFile a{std::fopen(path, "r"), 0, 0};
  if (!a.f) return ASE_CANNOT_OPEN;
  if (std::fseek(a.f, 0, SEEK_END) != 0 || (a.length = std::ftell(a.f)) < 0 ||
      std::fseek(a.f, 0, SEEK_SET) != 0) {
    std::fclose(a.f);
    return ASE_CANNOT_OPEN;
  }
  int code = ASE_OK;
  while (ase_search(&a, "*GEOMOBJECT", false) == FOUND) {
    if (list->count >= MAX_OBJECTS) {
      code = ASE_LIST_FULL;
      break;
    }
    Object* o = nullptr;
    std::int32_t ramps_before = list->ramp_count;
    code = ase_read_object(&a, list, &o, &ramps_before);
    if (code != ASE_OK) {
      object_free(o);
      object_list_drop_ramps(list, ramps_before);
      break;
    }
    list->objects[list->count++] = o;
  }
  std::fclose(a.f);
  return code;
}

int mesh_build(Object* object) {
  const std::int32_t vertex_count = object->vertex_count;
  auto* counters = static_cast<std::int32_t*>(
      std::calloc(vertex_count > 0 ? std::size_t(vertex_count) : 1, sizeof(std::int32_t)));
  if (!counters) return ASE_MESH_NO_MEMORY;
  Vec4* v = object->vertices;
  Vec4* normals = object->vertex_normals;
  for (std::int32_t i = 0; i < vertex_count; ++i) normals[i] = {0.0f, 0.0f, 0.0f, 1.0f};

  for (std::int32_t i = object->face_count - 1; i >= 0; --i) {
    Face& f = object->faces[i];
    const std::int32_t corners = f.vertex_count < 3 ? 3 : f.vertex_count > 4 ? 4 : f.vertex_count;
    bool valid = true;
    for (std::int32_t k = 0; k < corners; ++k)
      valid = valid && f.indices[k] >= 0 && f.indices[k] < vertex_count;
    if (!valid) continue;  // callers hand in checked indices; never read outside
    Vec4 e1, e2, n;
    vec_delta(&v[f.indices[0]], &v[f.indices[1]], &e1);
    vec_delta(&v[f.indices[0]], &v[f.indices[2]], &e2);
    vec_cross(&e2, &e1, &n);
    const float length = vec_length(&n);
    if (length > 0.0f && std::isfinite(length))
      f.normal = {float(n.x / length), float(n.y / length), float(n.z / length)};
    else
      f.normal = DEFAULT_NORMAL;
    for (std::int32_t k = corners - 1; k >= 0; --k) {
      Vec4& vn = normals[f.indices[k]];
      vn.x = float(double(vn.x) + f.normal.x);
      vn.y = float(double(vn.y) + f.normal.y);
      vn.z = float(double(vn.z) + f.normal.z);
      ++counters[f.indices[k]];
    }
  }

  for (std::int32_t i = vertex_count - 1; i >= 0; --i) {
    Vec4& n = normals[i];
    if (counters[i] == 0) {
      normal_set(&n, DEFAULT_NORMAL);
      continue;
    }
    n.x = float(double(n.x) / counters[i]);
    n.y = float(double(n.y) / counters[i]);
    n.z = float(double(n.z) / counters[i]);
    const float length = vec_length(&n);
    if (length > 0.0f && std::isfinite(length)) {
      n.x = float(n.x / double(length));
      n.y = float(n.y / double(length));
      n.z = float(n.z / double(length));
    } else {
      normal_set(&n, DEFAULT_NORMAL);
    }
  }

  float bound = 0.0f, mean = 0.0f;
  for (std::int32_t i = 0; i < vertex_count; ++i) {
    const float length = vec_length(&v[i]);
    if (length > bound) bound = length;
  }
  for (std::int32_t i = vertex_count - 1; i >= 0; --i)
    mean = float(double(mean) + double(vec_length(&v[i])) / vertex_count);
  object->bound_radius = bound;
  object->cull_radius = float(double(bound) + double(bound) * double(0.33333334f));
  object->mean_radius = mean;
  std::free(counters);
  return 0;
}
