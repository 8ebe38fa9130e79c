// The calls of the console graphics layer, over either the framebuffer
// device or a fake card. A framebuffer that is not itself the mode's size
// gets a shadow picture of the mode's size, shown scaled by a whole factor
// and centred at every vga_show.
#include "display/vga/vga.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "display/display_scale.h"
#include "display/vga/vga_internal.h"

namespace {
struct KnownMode {
  int number, width, height, bytes, colors;
};
// Both sizes of every depth; a 32-bit mode has 24 bits of colour.
constexpr auto known_modes = [] {
  std::array<KnownMode, 2 * std::size(VGA_DEPTHS)> modes{};
  std::size_t n = 0;
  for (const VgaDepth& d : VGA_DEPTHS) {
    const int colors = 1 << std::min(d.depth, 24);
    modes[n++] = {d.mode_320x240, 320, 240, d.bytes_per_pixel, colors};
    modes[n++] = {d.mode_640x480, 640, 480, d.bytes_per_pixel, colors};
  }
  return modes;
}();
constexpr std::size_t MAX_MODE_BYTES = 640 * 480 * 4;

const KnownMode* known(int number) {
  for (const KnownMode& m : known_modes)
    if (m.number == number) return &m;
  return nullptr;
}

// A mode the card offers, with the faults a fake card may be told to have.
struct CardMode {
  int number;
  int flags;
  bool absent, noset, nolinear;
};

enum class Device { none, fake, framebuffer };

struct Layer {
  bool initialised = false;
  Device device = Device::none;
  std::vector<CardMode> modes;
  vga_modeinfo info{};
  int current = TEXT;
  int setmode_count = 0;
  unsigned char* memory = nullptr;  // what vga_getgraphmem hands out
  // fake card
  unsigned char* fake_memory = nullptr;
  bool fake_memory_owned = false;
  int fake_screen_width = 0, fake_screen_height = 0;  // 0: the mode's own size
  // framebuffer
  Framebuffer fb{-1, nullptr, 0, 0, 0, 0, 0, 0, false, false, 0};
  std::vector<unsigned char> shadow;
  std::vector<unsigned char> line;  // one widened row of the shadow
  int scale = 1;
  std::size_t shadow_origin = 0;  // where the scaled picture starts on the framebuffer
} layer;

const CardMode* card_mode(int number) {
  for (const CardMode& m : layer.modes)
    if (m.number == number) return &m;
  return nullptr;
}

std::vector<CardMode> parse_modes(const char* text) {
  std::vector<CardMode> modes;
  const std::string s = text ? text : "";
  std::size_t pos = 0;
  while (pos < s.size()) {
    std::size_t end = s.find_first_of(" ;", pos);
    if (end == std::string::npos) end = s.size();
    const std::string item = s.substr(pos, end - pos);
    pos = end + 1;
    if (item.empty()) continue;
    CardMode m{std::atoi(item.c_str()), 0, false, false, false};
    std::size_t colon = item.find(':');
    std::string flags = colon == std::string::npos ? "" : item.substr(colon + 1) + ",";
    for (std::size_t p = 0, q; (q = flags.find(',', p)) != std::string::npos; p = q + 1) {
      const std::string f = flags.substr(p, q - p);
      if (f == "linear")
        m.flags |= IS_LINEAR;
      else if (f == "capable")
        m.flags |= CAPABLE_LINEAR;
      else if (f == "interlaced")
        m.flags |= IS_INTERLACED;
      else if (f == "misordered")
        m.flags |= RGB_MISORDERED;
      else if (f == "absent")
        m.absent = true;
      else if (f == "noset")
        m.noset = true;
      else if (f == "nolinear")
        m.nolinear = true;
    }
    if (known(m.number)) modes.push_back(m);
  }
  return modes;
}

// `bytes`: the size of the memory the layer makes itself.
void use_fake(const char* modes, unsigned char* memory, std::size_t bytes = MAX_MODE_BYTES) {
  layer.device = Device::fake;
  layer.modes = parse_modes(modes);
  layer.fake_screen_width = layer.fake_screen_height = 0;
  layer.shadow.clear();
  if (layer.fake_memory_owned) std::free(layer.fake_memory);
  layer.fake_memory = memory;
  layer.fake_memory_owned = false;
  if (!memory) {
    // A file, when asked for, so another process can look at the picture.
    const char* path = std::getenv("VGA_FAKE_MEMORY");
    int fd = path ? open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644) : -1;
    if (fd >= 0 && ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
      void* map = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
      if (map != MAP_FAILED) layer.fake_memory = static_cast<unsigned char*>(map);
    }
    if (fd >= 0) close(fd);
    if (!layer.fake_memory) {
      layer.fake_memory = static_cast<unsigned char*>(std::calloc(bytes, 1));
      layer.fake_memory_owned = true;
    }
  }
}

// The modes a framebuffer offers: both sizes at its one depth.
void use_framebuffer() {
  layer.device = Device::framebuffer;
  layer.modes.clear();
  const int flags = IS_LINEAR | (layer.fb.misordered ? RGB_MISORDERED : 0) |
                    (layer.fb.interlaced ? IS_INTERLACED : 0);
  for (const VgaDepth& d : VGA_DEPTHS)
    if (d.depth == layer.fb.depth) {
      layer.modes.push_back({d.mode_320x240, flags, false, false, false});
      layer.modes.push_back({d.mode_640x480, flags, false, false, false});
    }
}

// Sets up the pixel memory of a framebuffer mode: the framebuffer itself
// when it has the mode's size, a shadow picture otherwise.
bool framebuffer_mode(const KnownMode& m) {
  const Framebuffer& fb = layer.fb;
  const ScaledPlace place = scaled_place(fb.width, fb.height, m.width, m.height);
  layer.scale = place.scale;
  if (layer.scale < 1) return false;
  std::memset(fb.memory + fb.origin, 0, fb.length - fb.origin);
  if (fb.width == m.width && fb.height == m.height && fb.line_length == m.width * m.bytes) {
    layer.shadow.clear();
    layer.memory = fb.memory + fb.origin;
    return true;
  }
  layer.shadow.assign(static_cast<std::size_t>(m.width) * m.height * m.bytes, 0);
  layer.line.assign(static_cast<std::size_t>(m.width) * layer.scale * m.bytes, 0);
  layer.shadow_origin = fb.origin + static_cast<std::size_t>(place.top) * fb.line_length +
                        static_cast<std::size_t>(place.left) * fb.bytes_per_pixel;
  layer.memory = layer.shadow.data();
  return true;
}

}  // namespace

int vga_init() {
  if (layer.initialised) return 0;
  if (const char* fake = std::getenv("VGA_FAKE_CARD")) {
    int width = 0, height = 0;
    const char* screen = std::getenv("VGA_FAKE_SCREEN");
    if (screen && (std::sscanf(screen, "%dx%d", &width, &height) != 2 || width < 1 || height < 1 ||
                   width > 8192 || height > 8192))
      width = height = 0;
    use_fake(fake, nullptr, std::max(MAX_MODE_BYTES, static_cast<std::size_t>(width) * height * 4));
    vga_fake_screen(width, height);
  } else {
    const char* path = std::getenv("VGA_FRAMEBUFFER");
    if (!framebuffer_open(path ? path : "/dev/fb0", &layer.fb)) return -1;
    use_framebuffer();
  }
  layer.initialised = true;
  return 0;
}

vga_modeinfo* vga_getmodeinfo(int mode) {
  const KnownMode* m = known(mode);
  const CardMode* c = card_mode(mode);
  if (!m || !c) return nullptr;
  layer.info = {m->width, m->height, m->bytes, m->colors, m->width * m->bytes, c->flags};
  return &layer.info;
}

int vga_hasmode(int mode) {
  const CardMode* c = card_mode(mode);
  return c && !c->absent;
}

int vga_setmode(int mode) {
  if (mode == TEXT) {
    console_leave();
    layer.current = TEXT;
    layer.memory = nullptr;
    return 0;
  }
  const KnownMode* m = known(mode);
  const CardMode* c = card_mode(mode);
  if (!m || !c || c->absent || c->noset) return -1;
  if (layer.device == Device::fake && layer.fake_screen_width) {
    // A fake card with a screen of its own size behaves as a framebuffer.
    const int w = layer.fake_screen_width, h = layer.fake_screen_height;
    layer.fb = Framebuffer{-1,
                           layer.fake_memory,
                           static_cast<std::size_t>(w) * h * m->bytes,
                           w,
                           h,
                           w * m->bytes,
                           m->bytes,
                           0,
                           false,
                           false,
                           0};
    if (!framebuffer_mode(*m)) return -1;
  } else if (layer.device == Device::framebuffer) {
    if (!framebuffer_mode(*m)) return -1;
  } else {
    layer.memory = layer.fake_memory;
    std::memset(layer.memory, 0, MAX_MODE_BYTES);
  }
  console_enter();
  layer.current = mode;
  layer.setmode_count++;
  return 0;
}

int vga_setlinearaddressing() {
  const CardMode* c = card_mode(layer.current);
  if (!c || c->nolinear) return -1;
  const KnownMode* m = known(layer.current);
  return m->width * m->height * m->bytes;
}

unsigned char* vga_getgraphmem() { return layer.memory; }

void vga_show() {
  if (layer.shadow.empty() || layer.current == TEXT) return;
  const KnownMode& m = *known(layer.current);
  scaled_copy(layer.shadow.data(), m.width, m.height, m.bytes,
              layer.fb.memory + layer.shadow_origin, layer.fb.line_length, layer.scale,
              layer.line.data());
}

int vga_getkey() {
  int key = console_read_key();
  return key < 0 ? 0 : (key == 0 ? 1 : key);
}

void vga_fake_card(const char* modes, unsigned char* memory) {
  use_fake(modes, memory);
  layer.initialised = true;
  layer.current = TEXT;
  layer.setmode_count = 0;
}

void vga_fake_screen(int width, int height) {
  layer.fake_screen_width = width;
  layer.fake_screen_height = height;
}

int vga_fake_setmode_count() { return layer.setmode_count; }
int vga_fake_current_mode() { return layer.current; }
