// zorvdump <zorv.dat> <folder>: writes every entry of an archive as a
// netpbm picture (text_NN.ppm, maps_NN.pgm) for the contact sheet. The
// shape comes from the entry's size: 65,536 pixels are 256x256, 76,800 are
// 320x240, a square count is a square, anything else one row.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

bool read_u32(std::FILE* f, std::uint32_t& v) {
  unsigned char b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  v = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
  return true;
}

void shape(std::size_t pixels, int& w, int& h) {
  if (pixels == 65536) w = 256, h = 256;
  else if (pixels == 76800) w = 320, h = 240;
  else {
    w = 1;
    while (std::size_t(w + 1) * std::size_t(w + 1) <= pixels) w++;
    h = std::size_t(w) * std::size_t(w) == pixels ? w : 1;
    if (h == 1) w = static_cast<int>(pixels);
  }
}

bool write_netpbm(const std::string& path, bool colour, const std::vector<std::uint8_t>& payload) {
  const std::size_t pixels = colour ? payload.size() / 4 : payload.size();
  int w, h;
  shape(pixels, w, h);
  File f(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!f || pixels == 0) return false;
  std::fprintf(f.get(), "%s\n%d %d\n255\n", colour ? "P6" : "P5", w, h);
  for (std::size_t i = 0; i < pixels; i++) {
    if (colour) {
      const unsigned char rgb[3] = {payload[4 * i + 2], payload[4 * i + 1], payload[4 * i]};
      std::fwrite(rgb, 1, 3, f.get());
    } else {
      std::fputc(payload[i], f.get());
    }
  }
  return std::fflush(f.get()) == 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zorvdump <zorv.dat> <folder>\n");
    return 2;
  }
  File f(std::fopen(argv[1], "rb"), std::fclose);
  char magic[4];
  std::uint32_t count = 0;
  if (!f || std::fread(magic, 1, 4, f.get()) != 4 || std::string(magic, 4) != "zorv" || !read_u32(f.get(), count)) {
    std::fprintf(stderr, "zorvdump: %s is not a readable zorv archive\n", argv[1]);
    return 1;
  }
  int texts = 0, maps = 0;
  for (std::uint32_t i = 0; i < count && i < 0x7FFFFFFFu; i++) {
    char tag[3];
    std::uint32_t size = 0;
    if (std::fread(tag, 1, 3, f.get()) != 3 || !read_u32(f.get(), size) || size > (64u << 20)) {
      std::fprintf(stderr, "zorvdump: %s: entry %u is cut short or too large\n", argv[1], i);
      return 1;
    }
    std::vector<std::uint8_t> payload(size);
    if (std::fread(payload.data(), 1, size, f.get()) != size) {
      std::fprintf(stderr, "zorvdump: %s: entry %u is cut short\n", argv[1], i);
      return 1;
    }
    const std::string t(tag, 3);
    char name[32];
    if (t == "tga") std::snprintf(name, sizeof name, "/text_%02d.ppm", texts++);
    else if (t == "raw") std::snprintf(name, sizeof name, "/maps_%02d.pgm", maps++);
    else {
      std::fprintf(stderr, "zorvdump: %s: entry %u has an unknown tag\n", argv[1], i);
      return 1;
    }
    if (!write_netpbm(argv[2] + std::string(name), t == "tga", payload)) {
      std::fprintf(stderr, "zorvdump: cannot write %s%s\n", argv[2], name);
      return 1;
    }
  }
  return 0;
}
