// Start-up and shut-down in their fixed order.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "common/alarm.h"
#include "common/frame.h"
#include "common/globals.h"
#include "control/demo.h"
#include "control/tables.h"
#include "data/archive.h"
#include "data/object_file.h"
#include "display/display.h"
#include "engine/model.h"
#include "music/music.h"

TextureStructure* demo_archive = nullptr;
Camera demo_camera;
ObjectList demo_objects;

namespace {
bool display_is_open = false;

// White where the archive's first map is brighter than 10, black elsewhere.
void draw_loading_picture(std::uint32_t* image) {
  const std::uint8_t* mask = demo_archive->maps[0];
  for (int i = 0; i < FRAME_PIXELS; i++) image[i] = mask[i] > 10 ? 0xFFFFFFFFu : 0u;
}

void show_loading_picture() {
  draw_loading_picture(work_frame);
  display_present(work_frame);
}

void out_of_memory() {
  std::printf("Unable to allocate memory\n");
  startup_fail();
}
}  // namespace

void startup_fail() {
  if (demo_archive) archive_free(demo_archive);
  demo_archive = nullptr;
  if (display_is_open) display_close();
  display_is_open = false;
  std::fflush(stdout);
  std::exit(1);
}

void startup_open(int windowed) {
  demo_archive = archive_read();
  if (!demo_archive) std::exit(1);
  if (!display_open(FRAME_WIDTH, FRAME_HEIGHT, 32, windowed)) startup_fail();
  display_is_open = true;
}

void startup_load() {
  std::printf("Allocating memory for texture data...\n");
  if (!frame_allocate()) out_of_memory();
  show_loading_picture();
  if (!tables_allocate()) out_of_memory();

  camera_init(&demo_camera, 200.0f, 0.0f, 0.0f, -500.0f, 0.0f, 0.0f, 0.0f, 0);
  demo_camera.target = work_frame;
  object_list_init(&demo_objects);
  if (object_file_read("objs.3dw", &demo_objects) != 0) {
    std::printf("Error loading ASE object...\n");
    startup_fail();
  }
  // The timeline moves both objects from here in scene 5.
  if (demo_objects.count > 0) object_set_position(demo_objects.objects[0], 0.0f, 0.0f, 2000.0f);
  if (demo_objects.count > 1) object_set_position(demo_objects.objects[1], 700.0f, 0.0f, 0.0f);

  std::printf("Precalcing...\n");
  tables_compute(demo_archive);
}

void startup_pause() {
  // Presented again every tenth of a second rather than once: a window that
  // came up late, or was covered and uncovered, still shows the picture.
  // Drawn apart from the work frame, whose contents the first scene inherits.
  static std::uint32_t picture[FRAME_PIXELS];
  draw_loading_picture(picture);
  for (int i = 0; i < 30 && demo_running; i++) {
    display_present(picture);
    usleep(100000);
  }
}

void startup_install_sigterm() {
  std::printf("Initiating signalhander setup...\n");
  if (std::signal(SIGTERM, handle_signal) == SIG_ERR) {
    std::printf("Unable to setup signalhandler for SIGTERM\n");
    startup_fail();
  }
}

int shutdown_demo() {
  {
    // The alarm still mixes sound until music_stop; stdio must not be interrupted.
    AlarmBlock no_alarms;
    std::printf("*** Shutdown ***\n");
  }
  music_stop();
  archive_free(demo_archive);
  demo_archive = nullptr;
  display_close();
  display_is_open = false;
  object_list_destroy(&demo_objects);
  camera_destroy(&demo_camera);
  std::fflush(stdout);
  return 0;
}
