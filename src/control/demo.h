// Demo control: what the entry points share. Start-up brings every subsystem
// up in a fixed order; any failure before the timeline releases what exists
// and exits with status 1; shut-down takes everything down in a fixed order.
#pragma once
#include "data/archive.h"
#include "engine/engine.h"

// The singletons demo control owns.
extern TextureStructure* demo_archive;
extern Camera demo_camera;
extern ObjectList demo_objects;

// Start-up steps 3 and 4: the archive, then the display. Exits with status 1
// on failure.
void startup_open(int windowed);

// Steps 6 to 13: work_frame, the loading picture, the buffers, camera,
// objects and their first positions, the tables. Exits with status 1 on failure.
void startup_load();

// Keeps the loading picture on screen for three seconds (qn, qn-vga).
void startup_pause();

// Releases what exists (archive, display) and exits with status 1.
[[noreturn]] void startup_fail();

// Step 16: installs handle_signal for SIGTERM. Exits with status 1 on failure.
void startup_install_sigterm();

// The orderly shut-down; returns the exit status 0.
int shutdown_demo();
