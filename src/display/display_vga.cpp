// The console back end of qn-vga: the deepest linear 320x240 mode of 32, 24,
// 16 or 15 bits, every frame converted into its pixel memory and shown at
// once (scaled where the framebuffer is larger than the mode).
#include "display/display_vga.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "common/frame.h"
#include "common/globals.h"
#include "display/display.h"
#include "display/display_vga_convert.h"
#include "display/vga/vga.h"

struct DisplayState {
  std::uint8_t depth;
  unsigned char* memory;
};

namespace {
DisplayState* state = nullptr;
PixelConverter converter = nullptr;

// Where the search starts: at the requested depth, or at the deepest.
std::size_t first_depth_index(int bits_per_pixel) {
  for (std::size_t i = 0; i < std::size(VGA_DEPTHS); i++)
    if (VGA_DEPTHS[i].depth == bits_per_pixel) return i;
  return 0;
}

int bytes_per_pixel(int depth) {
  for (const VgaDepth& d : VGA_DEPTHS)
    if (d.depth == depth) return d.bytes_per_pixel;
  return 0;
}
}  // namespace

DisplayState* display_open(int width, int height, int bits_per_pixel, int /*windowed*/) {
  std::printf("Initiating svgalib startup sequence...\n");
  const bool small = width == 320 && height == 240;
  if (!small && !(width == 640 && height == 480)) {
    std::printf(" -> %dx%d is a invalid videomode\n", width, height);
    return nullptr;
  }
  if (vga_init() != 0)
    std::printf(
        " -> Unable to initiate svgalib. Check your libvga.conf\n"
        "    or download the latest version\n");
  state = static_cast<DisplayState*>(std::malloc(sizeof(DisplayState)));
  if (!state) {
    std::printf(" -> Unable to alloacte info struct buffer\n");
    return nullptr;
  }
  state->depth = 0;
  state->memory = nullptr;

  bool misordered = false;
  bool mode_was_set = false;
  for (std::size_t i = first_depth_index(bits_per_pixel); i < std::size(VGA_DEPTHS); i++) {
    const VgaDepth& d = VGA_DEPTHS[i];
    const int mode = small ? d.mode_320x240 : d.mode_640x480;
    const vga_modeinfo* info = vga_getmodeinfo(mode);
    if (!info) continue;
    bool switch_to_linear;
    if (info->flags & IS_LINEAR)
      switch_to_linear = false;
    else if (info->flags & CAPABLE_LINEAR)
      switch_to_linear = true;
    else
      continue;
    if (info->flags & IS_INTERLACED) continue;
    if (info->flags & RGB_MISORDERED) {
      misordered = true;
      continue;
    }
    if (!vga_hasmode(mode)) continue;
    if (vga_setmode(mode) != 0) continue;
    mode_was_set = true;
    if (switch_to_linear && vga_setlinearaddressing() == -1) continue;
    state->depth = static_cast<std::uint8_t>(d.depth);
    state->memory = vga_getgraphmem();
    return state;
  }

  if (misordered)
    std::printf(" -> WARNING: You gfx card maps RGB wrong! Buy a new one\n");
  else
    std::printf(
        " -> Unable to set %dx%d in 32, 24, 16 or 15 bpp linear mode\n"
        "    Check your libvga.conf or download the latest svgalib\n"
        "    If nothing of that works; Buy a new and better gfx card! :)\n",
        width, height);
  // A mode whose linear switch failed stays set: give the console back, since
  // nobody closes a display that never opened.
  if (mode_was_set) vga_setmode(TEXT);
  std::free(state);
  state = nullptr;
  return nullptr;
}

bool vga_choose_converter() {
  converter = state ? converter_for_depth(state->depth) : nullptr;
  return converter != nullptr;
}

void display_present(const std::uint32_t* image, const char* /*lock_error*/) {
  converter(image, state->memory, FRAME_PIXELS);
  vga_show();
}

void display_clear() {
  const int bytes = bytes_per_pixel(state->depth);
  std::memset(state->memory, 0, static_cast<std::size_t>(FRAME_PIXELS) * bytes);
  vga_show();
}

void display_poll_quit() {
  if (vga_getkey() != 0) demo_running = 0;
}

void display_close() {
  vga_setmode(TEXT);
  std::free(state);
  state = nullptr;
}
