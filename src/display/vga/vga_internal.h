// Inside the console layer: the virtual console (graphics mode, raw
// keyboard, restored on every way out) and the framebuffer device.
#pragma once
#include <cstddef>
#include <cstdint>

// Switches the controlling terminal to graphics mode with a raw, non-blocking
// keyboard; the previous state comes back with console_leave, at exit, or on
// a fatal signal (which then takes its default action). Without a terminal
// nothing happens and no key ever arrives.
void console_enter();
void console_leave();
// The next byte the keyboard sent, or -1 when none is waiting.
int console_read_key();

// The framebuffer device as the layer uses it.
struct Framebuffer {
  int fd;
  std::uint8_t* memory;
  std::size_t length;
  int width, height;  // visible resolution
  int line_length;    // bytes per row
  int bytes_per_pixel;
  int depth;        // 32, 24, 16 or 15; 0 when unusable
  bool misordered;  // channels not in the usual places for the depth
  bool interlaced;
  std::size_t origin;  // byte offset of the visible picture
};
// Opens and maps the device; false when it cannot.
bool framebuffer_open(const char* path, Framebuffer* fb);
void framebuffer_close(Framebuffer* fb);
