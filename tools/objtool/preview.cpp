#include "preview.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/frame.h"
#include "data/object_file.h"
#include "data/png/png_write.h"
#include "engine/engine.h"
#include "engine/model.h"
#include "engine/pass/render.h"

namespace {
// The tunnel scene's camera: focal 200, 500 in front of the origin.
constexpr float FOCAL = 200.0f;
constexpr float CAMERA_Z = -500.0f;
// Demo ticks between two pictures of a row: a whole turn of the scene's
// one-degree steps spread over the row.
constexpr int TURN_TICKS = 360;
constexpr int GUTTER = 4;
constexpr int MAX_ROWS = 64;  // a sheet of every object stays a picture one can open
constexpr std::uint32_t BACKGROUND = 0x101018;
constexpr std::uint32_t GUTTER_COLOUR = 0x404048;

struct ListHolder {
  ObjectList list;
  ListHolder() { object_list_init(&list); }
  ~ListHolder() { object_list_destroy(&list); }
};

struct CameraHolder {
  Camera camera;
  CameraHolder() { camera_init(&camera, FOCAL, 0.0f, 0.0f, CAMERA_Z, 0.0f, 0.0f, 0.0f, 1); }
  ~CameraHolder() { camera_destroy(&camera); }
};

bool parse_count(const char* s, int lo, int hi, int* out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(s, &end, 10);
  if (errno != 0 || end == s || *end != '\0' || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

// The depth that puts the object at the centre with its bounding sphere
// across about two thirds of the rows, all of it behind the near plane.
float preview_depth(const Object* o) {
  const float fill = FOCAL * 2.0f * o->bound_radius / (FRAME_HEIGHT * 2.0f / 3.0f);
  const float distance = std::max(fill, NEAR_Z + o->bound_radius + 1.0f);
  return std::min(distance, FAR_Z - o->bound_radius - 1.0f) + CAMERA_Z;
}

// Copies one 320x240 frame into the sheet at cell (column, row).
void sheet_place(std::vector<std::uint32_t>& sheet, int sheet_width, const std::uint32_t* frame,
                 int column, int row) {
  const int left = GUTTER + column * (FRAME_WIDTH + GUTTER);
  const int top = GUTTER + row * (FRAME_HEIGHT + GUTTER);
  for (int y = 0; y < FRAME_HEIGHT; y++)
    std::copy_n(frame + y * FRAME_WIDTH, FRAME_WIDTH,
                sheet.begin() + static_cast<std::ptrdiff_t>(top + y) * sheet_width + left);
}
}  // namespace

int command_preview(int argc, char** argv) {
  const char* input = nullptr;
  const char* output = nullptr;
  int only = -1, frames = 6;
  for (int i = 0; i < argc; ++i) {
    const bool valued = !std::strcmp(argv[i], "-o") || !std::strcmp(argv[i], "--object") ||
                        !std::strcmp(argv[i], "--frames");
    if (valued && i + 1 >= argc) {
      std::fprintf(stderr, "objtool: %s needs an argument\n", argv[i]);
      return 1;
    }
    if (!std::strcmp(argv[i], "-o")) {
      output = argv[++i];
    } else if (!std::strcmp(argv[i], "--object")) {
      if (!parse_count(argv[++i], 0, MAX_OBJECTS - 1, &only)) {
        std::fprintf(stderr, "objtool: bad object number '%s'\n", argv[i]);
        return 1;
      }
    } else if (!std::strcmp(argv[i], "--frames")) {
      if (!parse_count(argv[++i], 1, 36, &frames)) {
        std::fprintf(stderr, "objtool: --frames takes 1 to 36, not '%s'\n", argv[i]);
        return 1;
      }
    } else if (argv[i][0] == '-' || input) {
      std::fprintf(stderr, "objtool: preview takes one FILE.3dw and -o PICTURE.png, not %s\n",
                   argv[i]);
      return 1;
    } else {
      input = argv[i];
    }
  }
  if (!input || !output) {
    std::fprintf(stderr, "objtool: preview needs FILE.3dw and -o PICTURE.png\n");
    return 1;
  }
  ListHolder holder;
  ObjectList& list = holder.list;
  if (int code = object_file_read(input, &list)) {
    std::fprintf(stderr, "objtool: %s: %s (code %d)\n", input, object_file_message(code), code);
    return 1;
  }
  if (only >= list.count || list.count == 0) {
    std::fprintf(stderr, "objtool: %s has %d objects%s\n", input, list.count,
                 list.count ? ": no such --object" : "");
    return 1;
  }

  // One row of pictures for each object shown; only that object enabled.
  std::vector<int> shown;
  for (int i = 0; i < list.count; ++i)
    if (only < 0 || i == only) shown.push_back(i);
  if (shown.size() > MAX_ROWS) {
    std::fprintf(stderr, "objtool: %s has %d objects; draw them one at a time with --object N\n",
                 input, list.count);
    return 1;
  }
  const int sheet_width = GUTTER + frames * (FRAME_WIDTH + GUTTER);
  const int sheet_height = GUTTER + static_cast<int>(shown.size()) * (FRAME_HEIGHT + GUTTER);
  std::vector<std::uint32_t> sheet(static_cast<std::size_t>(sheet_width) * sheet_height,
                                   GUTTER_COLOUR);
  CameraHolder view;
  for (std::size_t row = 0; row < shown.size(); ++row) {
    const int index = shown[row];
    for (int i = 0; i < list.count; ++i) list.objects[i]->enabled = i == index;
    Object* o = list.objects[index];
    object_set_position(o, 0.0f, 0.0f, preview_depth(o));
    for (int k = 0; k < frames; ++k) {
      std::fill_n(view.camera.target, FRAME_PIXELS, BACKGROUND);
      render_scene(&list, &view.camera);
      sheet_place(sheet, sheet_width, view.camera.target, k, static_cast<int>(row));
      // The scene's own turn for this object: even ones (1, 1, -1), odd
      // ones (1, -1, 1) degrees a tick.
      const float turn = index % 2 ? -1.0f : 1.0f;
      for (int t = 0; t < TURN_TICKS / frames; ++t) object_rotate(o, 1.0f, turn, -turn);
    }
  }
  if (!png_write(output, sheet, sheet_width, sheet_height)) {
    std::fprintf(stderr, "objtool: cannot write %s: %s\n", output, std::strerror(errno));
    return 1;
  }
  return 0;
}
