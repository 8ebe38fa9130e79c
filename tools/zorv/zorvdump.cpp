// zorvdump <zorv.dat> <folder>: writes every entry of an archive as a
// netpbm picture (text_NN.ppm, maps_NN.pgm) for the contact sheet. The
// shape comes from the entry's size: 65,536 pixels are 256x256, 76,800 are
// 320x240, a square count is a square, anything else one row.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "data/archive_file.h"

namespace {
void shape(std::size_t pixels, int& w, int& h) {
  if (pixels == 65536)
    w = 256, h = 256;
  else if (pixels == 76800)
    w = 320, h = 240;
  else {
    w = 1;
    while (static_cast<std::size_t>(w + 1) * static_cast<std::size_t>(w + 1) <= pixels) w++;
    h = static_cast<std::size_t>(w) * static_cast<std::size_t>(w) == pixels ? w : 1;
    if (h == 1) w = static_cast<int>(pixels);
  }
}

// A "tga" entry as words in host order, a "raw" one as bytes.
bool write_netpbm(const std::string& path, bool colour, const std::vector<std::uint32_t>& words,
                  const std::vector<std::uint8_t>& bytes) {
  const std::size_t pixels = colour ? words.size() : bytes.size();
  int w, h;
  shape(pixels, w, h);
  const FileHandle f(std::fopen(path.c_str(), "wb"));
  if (!f || pixels == 0) return false;
  std::fprintf(f.get(), "%s\n%d %d\n255\n", colour ? "P6" : "P5", w, h);
  for (std::size_t i = 0; i < pixels; i++) {
    if (colour) {
      const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(words[i] >> 16),
                                   static_cast<std::uint8_t>(words[i] >> 8),
                                   static_cast<std::uint8_t>(words[i])};
      std::fwrite(rgb, 1, 3, f.get());
    } else {
      std::fputc(bytes[i], f.get());
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
  ArchiveFile archive;
  int texts = 0, maps = 0;
  if (archive_file_open(&archive, argv[1])) {
    while (archive_file_next(&archive)) {
      const std::size_t size = static_cast<std::size_t>(archive.size);
      std::vector<std::uint32_t> words(archive.raw ? 0 : size / 4);
      std::vector<std::uint8_t> bytes(archive.raw ? size : 0);
      void* into = archive.raw ? static_cast<void*>(bytes.data()) : words.data();
      if (!archive_file_payload(&archive, into)) break;
      char name[32];
      if (archive.raw)
        std::snprintf(name, sizeof name, "/maps_%02d.pgm", maps++);
      else
        std::snprintf(name, sizeof name, "/text_%02d.ppm", texts++);
      if (!write_netpbm(argv[2] + std::string(name), !archive.raw, words, bytes)) {
        std::fprintf(stderr, "zorvdump: cannot write %s%s\n", argv[2], name);
        return 1;
      }
    }
  }
  if (archive.fault != ARCHIVE_OK) {
    archive_file_report(&archive, stderr, ("zorvdump: " + std::string(argv[1])).c_str());
    return 1;
  }
  return 0;
}
