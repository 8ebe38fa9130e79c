// mkzorv: builds "zorv.dat" from the picture generators: every `text`
// entry, then every `maps` entry, in index order.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "archive_writer.h"
#include "art.h"
#include "font.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mkzorv <output file> <font file>\n");
    return 2;
  }
  if (!font_open(argv[2])) {
    std::fprintf(stderr, "mkzorv: cannot read the font %s\n", argv[2]);
    return 1;
  }
  std::vector<ArchiveEntry> entries;
  for (int i = 0; i < ART_TEXT_COUNT; i++)
    entries.push_back(ArchiveEntry::picture(art_text(i).pixels));
  for (int i = 0; i < ART_MAP_COUNT; i++) entries.push_back(ArchiveEntry::mask(art_map(i).pixels));
  font_close();
  if (!archive_write(argv[1], entries)) {
    std::fprintf(stderr, "mkzorv: cannot write %s: %s\n", argv[1], std::strerror(errno));
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
