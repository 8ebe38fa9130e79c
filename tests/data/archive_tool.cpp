// Test helper for the end-to-end tests of qn.
//   data_archive_tool good             writes ./zorv.dat with every entry
//   data_archive_tool truncated        the same, its last payload cut short
//   data_archive_tool expect OUT.ppm   reads ./zorv.dat and writes the loading
//                                      picture qn must show
#include <cstdio>
#include <cstring>

#include "archive_fixtures.h"
#include "data/archive.h"
#include "data/binary_io.h"

namespace {
int write_expected(const char* path) {
  TextureStructure* archive = archive_read();
  if (!archive) return 1;
  const FileHandle out(std::fopen(path, "wb"));
  if (!out) return 1;
  std::fprintf(out.get(), "P6\n320 240\n255\n");
  for (int i = 0; i < 320 * 240; i++) {
    const unsigned char v = archive->maps[0][i] > 10 ? 255 : 0;
    const unsigned char rgb[3] = {v, v, v};
    std::fwrite(rgb, 1, 3, out.get());
  }
  archive_free(archive);
  return std::fflush(out.get()) == 0 ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "good") == 0)
    return archive_write("zorv.dat", fixture_entries()) ? 0 : 1;
  if (argc == 2 && std::strcmp(argv[1], "truncated") == 0) {
    const std::vector<std::uint8_t> bytes = archive_bytes(fixture_entries());
    const std::size_t kept = bytes.size() - 100;
    const FileHandle out(std::fopen("zorv.dat", "wb"));
    return out && std::fwrite(bytes.data(), 1, kept, out.get()) == kept ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "expect") == 0) return write_expected(argv[2]);
  std::fprintf(stderr, "usage: %s good | truncated | expect OUT.ppm\n", argv[0]);
  return 2;
}
