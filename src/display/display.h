// The display: open the screen, present whole frames, clear, poll the quit
// input, close. One back end is compiled into each program:
//   display_sdl.cpp      qn          (SDL 1.2 window or full screen)
//   display_vga.cpp      qn-vga      (linear console mode through vga/)
//   display_capture.cpp  qn-capture  (keeps the picture for the capture program)
//   display_null.cpp     tests       (counts presentations)
// Called from the main thread only.
#pragma once
#include <cstdint>

// The back end's state; opaque to demo control.
struct DisplayState;

// The message a failed surface lock prints (qn): the presentations of the
// first scene say "Argh, unable to lock screen!\n", all others this.
inline constexpr const char* DISPLAY_LOCK_ERROR = "Unable to lock screen\n";
inline constexpr const char* DISPLAY_LOCK_ERROR_FIRST_SCENE = "Argh, unable to lock screen!\n";

// Always called with 320, 240, 32. `windowed` (qn only): 0 for the full
// screen, 1 for a window of the picture's size, 2 to 8 for a window that many
// times as large, DISPLAY_WINDOW_FIT for the largest of those within about
// two thirds of the desktop's height. Returns nothing after printing its reason.
inline constexpr int DISPLAY_WINDOW_FIT = -1;
DisplayState* display_open(int width, int height, int bits_per_pixel, int windowed);

// Shows one 320x240 image of 0x00RRGGBB words (bits 24-31 ignored). A failure
// prints lock_error and clears demo_running.
void display_present(const std::uint32_t* image, const char* lock_error = DISPLAY_LOCK_ERROR);

// As presenting an all-zero image.
void display_clear();

// Clears demo_running when the user asked to quit. Called once per frame.
void display_poll_quit();

void display_close();
