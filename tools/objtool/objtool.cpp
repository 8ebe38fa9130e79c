// objtool: the object tool chain. Imports ASE scenes into an object list,
// marks named objects smooth-shaded and writes the object file; or prints a
// readable summary of an object file.
#include <cstdio>
#include <cstring>
#include <vector>

#include "data/ase/ase.h"
#include "data/object_file.h"
#include "engine/engine.h"
#include "engine/model.h"
#include "preview.h"

namespace {
const char USAGE[] =
    "usage: objtool import -o OUTPUT [--smooth NAME]... INPUT.ase...\n"
    "       objtool summary FILE\n"
    "       objtool preview FILE.3dw -o PICTURE.png [--object N] [--frames K]\n"
    "\n"
    "import   reads every geometric object of the ASE files, in order, makes the\n"
    "         objects named by --smooth smooth-shaded, and writes the object file\n"
    "summary  prints the objects of an object file: counts, radii, shading, colours\n"
    "preview  draws the objects as the demo's tunnel scene does (its camera, light,\n"
    "         shading and culling), each turning through K pictures (default 6,\n"
    "         1 to 36) in a row of a contact sheet; --object N draws only object N\n"
    "         (counting from 0)\n";

const char* ase_message(int code) {
  switch (code) {
    case ASE_CANNOT_OPEN:
      return "cannot open the file";
    case ASE_END_IN_OBJECT:
      return "the file ends inside an object";
    case ASE_NO_MEMORY:
      return "out of memory";
    case ASE_LIST_FULL:
      return "more than 1000 objects";
    case ASE_TOO_MANY_VERTICES:
      return "an object has more than 3000 vertices (or a negative count)";
    case ASE_TOO_MANY_FACES:
      return "an object has more than 3000 faces (or a negative count)";
    case ASE_END_BEFORE_COLOUR:
      return "the file ends before an object's *WIREFRAME_COLOR";
    case ASE_MESH_NO_MEMORY:
      return "out of memory while building a mesh";
    case ASE_BAD_NUMBER:
      return "a number that cannot be read or is out of range";
    case ASE_RAN_INTO_NEXT:
      return "an object's sections are missing or out of order";
    case ASE_BAD_INDEX:
      return "a face refers to a vertex that does not exist";
    case ASE_TOO_MANY_COLOURS:
      return "more than 100 distinct colours";
    default:
      return "unknown failure";
  }
}

// Owns a list for the length of a command.
struct ListHolder {
  ObjectList list;
  ListHolder() { object_list_init(&list); }
  ~ListHolder() { object_list_destroy(&list); }
};

void object_make_smooth(Object* o) {
  for (std::int32_t i = 0; i < o->face_count; ++i) o->faces[i].shading = SHADING_SMOOTH;
  o->smooth = 1;
}

int command_import(int argc, char** argv) {
  const char* output = nullptr;
  std::vector<const char*> smooth, inputs;
  for (int i = 0; i < argc; ++i) {
    if (!std::strcmp(argv[i], "-o") || !std::strcmp(argv[i], "--smooth")) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "objtool: %s needs an argument\n", argv[i]);
        return 1;
      }
      if (argv[i][1] == 'o')
        output = argv[i + 1];
      else
        smooth.push_back(argv[i + 1]);
      ++i;
    } else if (argv[i][0] == '-') {
      std::fprintf(stderr, "objtool: unknown option %s\n%s", argv[i], USAGE);
      return 1;
    } else {
      inputs.push_back(argv[i]);
    }
  }
  if (!output || inputs.empty()) {
    std::fprintf(stderr, "objtool: import needs -o OUTPUT and at least one input\n%s", USAGE);
    return 1;
  }
  ListHolder holder;
  for (const char* input : inputs) {
    AseWhere where;
    if (int code = ase_import(input, &holder.list, &where)) {
      char at[128] = "", item[16] = "";
      if (where.item >= 0) std::snprintf(item, sizeof item, " %d", where.item);
      if (*where.keyword)
        std::snprintf(at, sizeof at, ", at %s%s%s%s%s", where.keyword, item,
                      *where.object ? " of object \"" : "", where.object,
                      *where.object ? "\"" : "");
      std::fprintf(stderr, "objtool: %s: %s%s (code %d)\n", input, ase_message(code), at, code);
      return 1;
    }
  }
  for (const char* name : smooth) {
    bool found = false;
    for (std::int32_t i = 0; i < holder.list.count; ++i)
      if (!std::strcmp(holder.list.objects[i]->name, name)) {
        object_make_smooth(holder.list.objects[i]);
        found = true;
      }
    if (!found) {
      std::fprintf(stderr, "objtool: no object named \"%s\"\n", name);
      return 1;
    }
  }
  if (int code = object_file_write(output, &holder.list)) {
    std::fprintf(stderr, "objtool: %s: cannot write the object file (code %d)\n", output, code);
    std::remove(output);
    return 1;
  }
  return 0;
}

const char* shading_name(const Object* o) {
  std::int32_t flat = 0, smooth = 0;
  for (std::int32_t i = 0; i < o->face_count; ++i) {
    if (o->faces[i].shading == SHADING_FLAT)
      ++flat;
    else if (o->faces[i].shading == SHADING_SMOOTH)
      ++smooth;
  }
  if (o->face_count == 0) return "no faces";
  if (smooth == o->face_count) return "smooth";
  if (flat == o->face_count) return "flat";
  return "mixed";
}

int command_summary(const char* path) {
  ListHolder holder;
  if (int code = object_file_read(path, &holder.list)) {
    std::fprintf(stderr, "objtool: %s: %s (code %d)\n", path, object_file_message(code), code);
    return 1;
  }
  const ObjectList& list = holder.list;
  std::printf("%s: %d objects, %d shade ramps\n", path, list.count, list.ramp_count);
  for (std::int32_t i = 0; i < list.count; ++i) {
    const Object* o = list.objects[i];
    std::printf("object %d \"%s\": %d vertices, %d faces, %s%s\n", i, o->name, o->vertex_count,
                o->face_count, shading_name(o), o->enabled ? "" : ", disabled");
    std::printf("  radii: mean %.2f, bound %.2f, cull %.2f\n", static_cast<double>(o->mean_radius),
                static_cast<double>(o->bound_radius), static_cast<double>(o->cull_radius));
    std::printf("  position: %.2f %.2f %.2f\n", static_cast<double>(o->position.x),
                static_cast<double>(o->position.y), static_cast<double>(o->position.z));
    std::printf("  colours:");
    std::vector<std::int32_t> seen;
    for (std::int32_t f = 0; f < o->face_count; ++f) {
      const std::int32_t c = o->faces[f].colour;
      bool known = false;
      for (std::int32_t s : seen) known = known || s == c;
      if (known) continue;
      seen.push_back(c);
      std::printf(" 0x%06X (ramp %d)", static_cast<unsigned>(c), o->faces[f].ramp);
    }
    std::printf("%s\n", seen.empty() ? " none" : "");
  }
  return 0;
}
}  // namespace

const char* object_file_message(int code) {
  switch (code) {
    case 1:
      return "the list is full";
    case 2:
      return "cannot open the file";
    case 3:
      return "not an object file (wrong magic)";
    case 4:
      return "out of memory";
    case 5:
      return "the file is truncated";
    case 6:
      return "a count or number out of range";
    case 7:
      return "a face with a bad corner count or vertex index";
    case 8:
      return "more than 1000 objects";
    case 9:
      return "more than 100 distinct colours";
    default:
      return "unknown failure";
  }
}

int main(int argc, char** argv) {
  if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
    std::fputs(USAGE, stdout);
    return 0;
  }
  if (argc >= 2 && !std::strcmp(argv[1], "import")) return command_import(argc - 2, argv + 2);
  if (argc == 3 && !std::strcmp(argv[1], "summary")) return command_summary(argv[2]);
  if (argc >= 2 && !std::strcmp(argv[1], "preview")) return command_preview(argc - 2, argv + 2);
  std::fputs(USAGE, stderr);
  return 1;
}
