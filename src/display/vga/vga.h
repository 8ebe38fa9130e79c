// A small graphics-mode layer for the Linux console with the calls, mode
// numbers and flags the console back end is written against. It drives the
// framebuffer device and the virtual console; a fake card stands in for both
// in tests.
//
// The layer's own configuration (environment, read by vga_init):
//   VGA_FRAMEBUFFER  the framebuffer device (default /dev/fb0)
//   VGA_FAKE_CARD    use a fake card instead: a list of modes, e.g.
//                    "54:linear 53:capable,nolinear 52:interlaced", each mode
//                    number with flags linear, capable, interlaced, misordered
//                    and the faults absent (vga_hasmode false), noset
//                    (vga_setmode fails), nolinear (linear switch fails)
//   VGA_FAKE_MEMORY  with a fake card: a file that holds its pixel memory
//   VGA_FAKE_SCREEN  with a fake card: its screen's size, e.g. "640x480"; a
//                    mode smaller than that is shown scaled, as on a
//                    framebuffer larger than the mode
#pragma once
#include <cstdint>

// Mode numbers.
inline constexpr int TEXT = 0;
inline constexpr int G640x480x32K = 17;
inline constexpr int G640x480x64K = 18;
inline constexpr int G640x480x16M = 19;
inline constexpr int G640x480x16M32 = 34;
inline constexpr int G320x240x32K = 51;
inline constexpr int G320x240x64K = 52;
inline constexpr int G320x240x16M = 53;
inline constexpr int G320x240x16M32 = 54;

// The four depths of the linear modes, deepest first: what a framebuffer
// offers at its depth and the order the console back end tries them in.
struct VgaDepth {
  int depth, bytes_per_pixel, mode_320x240, mode_640x480;
};
inline constexpr VgaDepth VGA_DEPTHS[] = {
    {32, 4, G320x240x16M32, G640x480x16M32},
    {24, 3, G320x240x16M, G640x480x16M},
    {16, 2, G320x240x64K, G640x480x64K},
    {15, 2, G320x240x32K, G640x480x32K},
};

// vga_modeinfo flags.
inline constexpr int IS_INTERLACED = 0x02;
inline constexpr int CAPABLE_LINEAR = 0x10;
inline constexpr int IS_LINEAR = 0x20;
inline constexpr int RGB_MISORDERED = 0x80;

struct vga_modeinfo {
  int width;
  int height;
  int bytesperpixel;
  int colors;
  int linewidth;  // bytes per row of the pixel memory
  int flags;
};

// 0 on success.
int vga_init();
// Non-zero when the mode can be set.
int vga_hasmode(int mode);
// The mode's information, or nullptr for a mode the card does not know.
vga_modeinfo* vga_getmodeinfo(int mode);
// 0 on success. TEXT returns the console to text mode and the keyboard to normal.
int vga_setmode(int mode);
// Switches the current mode to linear addressing; -1 on failure.
int vga_setlinearaddressing();
// The start of the current mode's pixel memory.
unsigned char* vga_getgraphmem();
// The next key waiting, or 0 when none.
int vga_getkey();
// Shows what was drawn into the pixel memory where that is a shadow of a
// larger framebuffer: scaled by a whole factor and centred onto it. Nothing
// to do where the pixel memory is the screen's own.
void vga_show();

// Test hook: a fake card from a mode list as in VGA_FAKE_CARD, its pixel
// memory in `memory` (at least 640*480*4 bytes) or nullptr for the layer's own.
void vga_fake_card(const char* modes, unsigned char* memory);
// Test hook: the fake card's screen is width x height (its memory must hold
// that many pixels of the deepest mode); the mode then gets a shadow picture
// scaled onto it, as on a framebuffer larger than the mode.
void vga_fake_screen(int width, int height);
// Test hook: the number of vga_setmode calls that did not fail, and the last mode set.
int vga_fake_setmode_count();
int vga_fake_current_mode();
