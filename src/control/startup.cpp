// Start-up and shut-down in their fixed order.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

void show_loading_picture() {
  const std::uint8_t* mask = demo_archive->maps[0];
  std::memset(work_frame, 0, FRAME_BYTES);
  for (int i = 0; i < FRAME_PIXELS; i++)
    if (mask[i] > 10) work_frame[i] = 0xFFFFFFFFu;
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
