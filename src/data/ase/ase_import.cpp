// The ASE text importer. It is not a parser: for each object it searches the
// text for a fixed sequence of keywords and scans the numbers after each, so
// sections it does not read (normals, texture lists, comments) may stand
// anywhere. A keyword matches whole: it is followed by white space, so
// "*MESH_FACE" never finds "*MESH_FACENORMAL" nor "*MESH_FACE_LIST". The
// file's z axis becomes the engine's y axis.
//
// Beyond the codes any importer of the format gives, malformed input is
// refused (the codes from 10 in ase.h). A failed object is freed with any
// ramp made for it. Names are cut to 39 characters and colour components
// clamped to 0..1.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/convert.h"
#include "data/ase/ase.h"
#include "data/binary_io.h"
#include "engine/engine.h"
#include "engine/model.h"

namespace {
constexpr double MAX_COORDINATE = 1e6;

struct AseFile {
  FileHandle file;
  long length;  // measured once at opening
  long pos;
  AseWhere where;  // the keyword last looked for, for a refusal's message
};

enum Search { FOUND, END, CROSSED, LIST_ENDED };
// Where a search looks: anywhere, inside an object (it stops at the next
// object), or for a line of a vertex or face list (it also stops at the
// list's closing brace, so a list shorter than its count is caught there).
enum Scope { FILE_WIDE, OBJECT, LIST };

// The next character, or -1 once the measured length is reached.
int ase_next(AseFile* a) {
  if (a->pos >= a->length) return -1;
  int c = std::fgetc(a->file.get());
  if (c == EOF) {
    a->pos = a->length;
    return -1;
  }
  ++a->pos;
  return c;
}

bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Finds the keyword (with its leading '*') and drops the white space
// character after it.
Search ase_search(AseFile* a, const char* token, Scope scope) {
  static const char GEOM[] = "*GEOMOBJECT";
  a->where.keyword = token;
  int c = ase_next(a);
  for (;;) {
    if (c < 0) return END;
    if (c == '}' && scope == LIST) return LIST_ENDED;
    if (c != '*') {
      c = ase_next(a);
      continue;
    }
    if ((c = ase_next(a)) < 0) return END;
    const char* candidate = nullptr;
    if (c == token[1])
      candidate = token;
    else if (scope != FILE_WIDE && c == GEOM[1])
      candidate = GEOM;
    else
      continue;
    std::size_t i = 2;
    for (; candidate[i]; ++i) {
      if ((c = ase_next(a)) < 0) return END;
      if (c != candidate[i]) break;
    }
    if (candidate[i]) continue;  // the failing character may start the next keyword
    if ((c = ase_next(a)) < 0) return END;
    if (!is_space(c)) continue;  // a longer keyword
    return candidate == GEOM ? CROSSED : FOUND;
  }
}

// fscanf at the current place; keeps the position in step.
template <typename... Args>
bool ase_scan(AseFile* a, int expected, const char* format, Args... args) {
  int n = std::fscanf(a->file.get(), format, args...);
  long p = std::ftell(a->file.get());
  a->pos = p < 0 ? a->length : p;
  return n == expected;
}

bool coordinate_ok(float v) { return std::isfinite(v) && std::fabs(v) <= MAX_COORDINATE; }

// The search result as the code of a failure, inside an object.
int search_failure(Search s, int at_end) {
  if (s == LIST_ENDED) return ASE_BAD_NUMBER;  // the count is more than the list holds
  return s == CROSSED ? ASE_RAN_INTO_NEXT : at_end;
}

int colour_component(float v) {
  if (!(v > 0.0f)) return 0;  // also NaN
  if (v > 1.0f) v = 1.0f;
  return to_int32(static_cast<double>(v) * 255.0);
}

// Reads one object's tokens after its "*GEOMOBJECT" into a new object.
int ase_read_object(AseFile* a, ObjectList* list, Object** out, std::int32_t* ramps_before) {
  Search s;
  if ((s = ase_search(a, "*NODE_NAME", OBJECT)) != FOUND)
    return search_failure(s, ASE_END_IN_OBJECT);
  if (ase_next(a) < 0) return ASE_END_IN_OBJECT;  // the opening quote
  char name[40] = {};
  std::size_t length = 0;
  for (int c; (c = ase_next(a)) != '"';) {
    if (c < 0) return ASE_END_IN_OBJECT;
    if (length < sizeof name - 1) name[length++] = static_cast<char>(c);
  }
  std::memcpy(a->where.object, name, sizeof name);

  Vec4 position = {0, 0, 0, 1};
  if ((s = ase_search(a, "*TM_POS", OBJECT)) != FOUND) return search_failure(s, ASE_END_IN_OBJECT);
  if (!ase_scan(a, 3, "%f\t%f\t%f", &position.x, &position.y, &position.z) ||
      !coordinate_ok(position.x) || !coordinate_ok(position.y) || !coordinate_ok(position.z))
    return ASE_BAD_NUMBER;

  int vertex_count = 0, face_count = 0;
  if ((s = ase_search(a, "*MESH_NUMVERTEX", OBJECT)) != FOUND)
    return search_failure(s, ASE_END_IN_OBJECT);
  if (!ase_scan(a, 1, "%d", &vertex_count)) return ASE_BAD_NUMBER;
  if (vertex_count > MAX_VERTICES || vertex_count < 0) return ASE_TOO_MANY_VERTICES;
  if ((s = ase_search(a, "*MESH_NUMFACES", OBJECT)) != FOUND)
    return search_failure(s, ASE_END_IN_OBJECT);
  if (!ase_scan(a, 1, "%d", &face_count)) return ASE_BAD_NUMBER;
  if (face_count > MAX_FACES || face_count < 0) return ASE_TOO_MANY_FACES;

  Object* o = object_create(vertex_count, face_count);
  if (!o) return ASE_NO_MEMORY;
  *out = o;
  std::memcpy(o->name, name, sizeof name);
  o->position = position;

  // The lists' headers ("*MESH_VERTEX_LIST {") are passed over like any
  // other keyword; other sections may stand before a list's first line.
  for (int i = 0; i < vertex_count; ++i) {
    a->where.item = i;
    if ((s = ase_search(a, "*MESH_VERTEX", i == 0 ? OBJECT : LIST)) != FOUND)
      return search_failure(s, ASE_END_IN_OBJECT);
    int index;
    Vec4& w = o->world_vertices[i];
    if (!ase_scan(a, 4, "%d\t%f\t%f\t%f", &index, &w.x, &w.y, &w.z)) return ASE_BAD_NUMBER;
    Vec4& v = o->vertices[i];
    v.x = static_cast<float>(static_cast<double>(w.x) - position.x);
    v.y = static_cast<float>(static_cast<double>(w.z) - position.z);  // y and z exchanged
    v.z = static_cast<float>(static_cast<double>(w.y) - position.y);
    if (!coordinate_ok(w.x) || !coordinate_ok(w.y) || !coordinate_ok(w.z)) return ASE_BAD_NUMBER;
  }
  o->position.y = position.z;
  o->position.z = position.y;

  for (int i = 0; i < face_count; ++i) {
    a->where.item = i;
    if ((s = ase_search(a, "*MESH_FACE", i == 0 ? OBJECT : LIST)) != FOUND)
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

  a->where.item = -1;
  if ((s = ase_search(a, "*WIREFRAME_COLOR", OBJECT)) != FOUND)
    return search_failure(s, ASE_END_BEFORE_COLOUR);
  float red, green, blue;
  if (!ase_scan(a, 3, "%f\t%f\t%f", &red, &green, &blue)) return ASE_BAD_NUMBER;
  const std::int32_t colour =
      colour_component(red) << 16 | colour_component(green) << 8 | colour_component(blue);

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
  if (mesh_build(o) != ASE_OK) return ASE_NO_MEMORY;
  return ASE_OK;
}

}  // namespace

int ase_import(const char* path, ObjectList* list, AseWhere* where) {
  if (list->count >= MAX_OBJECTS) return ASE_LIST_FULL;
  AseFile a{FileHandle(std::fopen(path, "r")), 0, 0, {}};
  std::FILE* f = a.file.get();
  if (!f || std::fseek(f, 0, SEEK_END) != 0 || (a.length = std::ftell(f)) < 0 ||
      std::fseek(f, 0, SEEK_SET) != 0)
    return ASE_CANNOT_OPEN;
  int code = ASE_OK;
  while (ase_search(&a, "*GEOMOBJECT", FILE_WIDE) == FOUND) {
    if (list->count >= MAX_OBJECTS) {
      code = ASE_LIST_FULL;
      break;
    }
    a.where = {};
    Object* o = nullptr;
    std::int32_t ramps_before = list->ramp_count;
    code = ase_read_object(&a, list, &o, &ramps_before);
    if (code != ASE_OK) {
      if (where) *where = a.where;
      object_free(o);
      object_list_drop_ramps(list, ramps_before);
      break;
    }
    list->objects[list->count++] = o;
  }
  return code;
}
