// The framebuffer device: its geometry, its pixel layout and its memory.
#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "display/vga/vga_internal.h"

namespace {
bool at(const fb_bitfield& f, unsigned offset, unsigned length) {
  return f.offset == offset && f.length == length && f.msb_right == 0;
}
}  // namespace

bool framebuffer_open(const char* path, Framebuffer* fb) {
  *fb = Framebuffer{};
  fb->fd = open(path, O_RDWR | O_CLOEXEC);
  if (fb->fd < 0) return false;
  fb_var_screeninfo var{};
  fb_fix_screeninfo fix{};
  if (ioctl(fb->fd, FBIOGET_VSCREENINFO, &var) != 0 ||
      ioctl(fb->fd, FBIOGET_FSCREENINFO, &fix) != 0 || fix.type != FB_TYPE_PACKED_PIXELS ||
      fix.visual != FB_VISUAL_TRUECOLOR) {
    close(fb->fd);
    return false;
  }
  fb->width = static_cast<int>(var.xres);
  fb->height = static_cast<int>(var.yres);
  fb->line_length = static_cast<int>(fix.line_length);
  fb->bytes_per_pixel = static_cast<int>((var.bits_per_pixel + 7) / 8);
  fb->interlaced = (var.vmode & FB_VMODE_MASK) == FB_VMODE_INTERLACED;
  fb->origin =
      static_cast<std::size_t>(var.yoffset) * fix.line_length +
      static_cast<std::size_t>(var.xoffset) * static_cast<std::size_t>(fb->bytes_per_pixel);
  switch (var.bits_per_pixel) {
    case 32:
    case 24:
      fb->depth = static_cast<int>(var.bits_per_pixel);
      fb->misordered = !(at(var.red, 16, 8) && at(var.green, 8, 8) && at(var.blue, 0, 8));
      break;
    case 16:
      fb->depth = var.green.length == 5 ? 15 : 16;
      fb->misordered = fb->depth == 16
                           ? !(at(var.red, 11, 5) && at(var.green, 5, 6) && at(var.blue, 0, 5))
                           : !(at(var.red, 10, 5) && at(var.green, 5, 5) && at(var.blue, 0, 5));
      break;
    default:
      fb->depth = 0;
  }
  fb->length = fix.smem_len;
  void* map = mmap(nullptr, fb->length, PROT_READ | PROT_WRITE, MAP_SHARED, fb->fd, 0);
  if (map == MAP_FAILED) {
    close(fb->fd);
    return false;
  }
  fb->memory = static_cast<std::uint8_t*>(map);
  return true;
}

void framebuffer_close(Framebuffer* fb) {
  if (fb->memory) munmap(fb->memory, fb->length);
  if (fb->fd >= 0) close(fb->fd);
  *fb = Framebuffer{};
  fb->fd = -1;
}
