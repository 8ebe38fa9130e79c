// The demo's archive: "zorv.dat" split into its "tga" and "raw" lists.
//
// Besides what the format itself rules out (archive_file.h), the loader
// refuses an archive that lacks an entry the scenes index by number, or has
// one of the wrong size, so nothing downstream ever reads past a block.
#include "data/archive.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

#include "data/archive_file.h"

namespace {

constexpr int TEXTURE_BYTES = 256 * 256 * 4;  // 256x256 words
constexpr int PICTURE_BYTES = 320 * 240 * 4;  // a whole frame of words
constexpr int MASK_BYTES = 320 * 240;         // a whole frame of bytes
constexpr int HEIGHT_MAP_BYTES = 256 * 256;   // 256x256 bytes

// The size each used entry must have, by index in its list; 0: not read.
constexpr std::array<int, 11> TEXT_SHAPES = {
    TEXTURE_BYTES, TEXTURE_BYTES, TEXTURE_BYTES, TEXTURE_BYTES, TEXTURE_BYTES, 0, 0,
    PICTURE_BYTES, PICTURE_BYTES, TEXTURE_BYTES, PICTURE_BYTES};
constexpr std::array<int, 18> MAPS_SHAPES = {
    MASK_BYTES, MASK_BYTES, MASK_BYTES, MASK_BYTES, HEIGHT_MAP_BYTES, MASK_BYTES,
    MASK_BYTES, MASK_BYTES, MASK_BYTES, MASK_BYTES, MASK_BYTES,       MASK_BYTES,
    MASK_BYTES, MASK_BYTES, MASK_BYTES, MASK_BYTES, MASK_BYTES,       MASK_BYTES};

// One list under construction: a malloc'ed array of blocks, grown by one
// pointer at a time, and the sizes of its first blocks for the shape check.
template <typename T, std::size_t USED>
struct List {
  T** blocks = nullptr;
  int count = 0;
  const char* name;  // "maps" or "text", for the messages
  const std::array<int, USED>& shapes;
  std::array<int, USED> sizes{};
};

template <typename L>
void list_discard(L& list) {
  for (int i = 0; i < list.count; i++) std::free(list.blocks[i]);
  std::free(list.blocks);
  list.blocks = nullptr;
  list.count = 0;
}

template <typename L>
bool list_grow(L& list) {
  const std::size_t bytes = sizeof(*list.blocks) * (static_cast<std::size_t>(list.count) + 1);
  void* grown = std::realloc(list.blocks, bytes);
  if (!grown) {
    std::printf("Unable to allocate memory for p->%s structure\n", list.name);
    return false;
  }
  list.blocks = static_cast<decltype(list.blocks)>(grown);
  return true;
}

// Three faults have fixed messages of their own; the rest are named the way
// the archive tools name them.
void report_fault(const ArchiveFile& file) {
  switch (file.fault) {
    case ARCHIVE_CANNOT_OPEN:
      std::printf("Unable to open zorv.dat\n");
      break;
    case ARCHIVE_BAD_MAGIC:
      std::printf("zorv.dat: This is not a zorv data file format\n");
      break;
    case ARCHIVE_BAD_TAG:
      std::printf("Corrupt header!\n");
      break;
    default:
      archive_file_report(&file, stdout, "zorv.dat");
  }
}

}  // namespace

TextureStructure* archive_read() {
  std::printf("Unpacking data...\n");

  ArchiveFile file;
  if (!archive_file_open(&file, "zorv.dat")) {
    report_fault(file);
    return nullptr;
  }

  auto* archive = static_cast<TextureStructure*>(std::malloc(sizeof(TextureStructure)));
  if (!archive) {
    std::printf("Unable to allocate memory for texture structure\n");
    return nullptr;
  }
  archive->text = nullptr;
  archive->maps = nullptr;

  List<std::uint32_t, TEXT_SHAPES.size()> text{.name = "text", .shapes = TEXT_SHAPES};
  List<std::uint8_t, MAPS_SHAPES.size()> maps{.name = "maps", .shapes = MAPS_SHAPES};
  auto fail = [&]() -> TextureStructure* {
    list_discard(maps);
    list_discard(text);
    std::free(archive);
    return nullptr;
  };
  while (archive_file_next(&file)) {
    // One byte for an empty entry, so that it still has a block of its own.
    const std::int32_t size = file.size;
    void* block = nullptr;
    auto add = [&](auto& list) {
      if (!list_grow(list)) return false;
      block = std::malloc(size > 0 ? static_cast<std::size_t>(size) : 1);
      if (!block) {
        std::printf("Unable to allocate memory for p->%s[%d]\n", list.name, list.count);
        return false;
      }
      using Block = std::remove_reference_t<decltype(*list.blocks)>;
      list.blocks[list.count] = static_cast<Block>(block);
      if (list.count < static_cast<int>(list.sizes.size())) list.sizes[list.count] = size;
      list.count++;
      return true;
    };
    if (!(file.raw ? add(maps) : add(text))) return fail();
    if (!archive_file_payload(&file, block)) break;
  }
  if (file.fault != ARCHIVE_OK) {
    report_fault(file);
    return fail();
  }

  // Every entry the scenes index by number must be there, whole.
  if (text.count < static_cast<int>(TEXT_SHAPES.size()) ||
      maps.count < static_cast<int>(MAPS_SHAPES.size())) {
    std::printf(
        "zorv.dat: the demo needs at least %zu \"tga\" and %zu \"raw\" entries, "
        "this file has %d and %d\n",
        TEXT_SHAPES.size(), MAPS_SHAPES.size(), text.count, maps.count);
    return fail();
  }
  auto shaped = [](const auto& list) {
    for (std::size_t i = 0; i < list.shapes.size(); i++) {
      if (list.shapes[i] != 0 && list.sizes[i] != list.shapes[i]) {
        std::printf("zorv.dat: %s[%zu] has %d bytes, the demo needs %d\n", list.name, i,
                    list.sizes[i], list.shapes[i]);
        return false;
      }
    }
    return true;
  };
  if (!shaped(text) || !shaped(maps)) return fail();

  // The null pointers that end the lists: maps first, then text.
  auto terminate = [](auto& list) {
    if (!list_grow(list)) return false;
    list.blocks[list.count] = nullptr;
    return true;
  };
  if (!terminate(maps) || !terminate(text)) return fail();
  archive->maps = maps.blocks;
  archive->text = text.blocks;
  return archive;
}

void archive_free(TextureStructure* archive) {
  if (!archive) return;
  if (archive->maps) {
    for (std::uint8_t** block = archive->maps; *block; block++) std::free(*block);
    std::free(archive->maps);
  }
  if (archive->text) {
    for (std::uint32_t** block = archive->text; *block; block++) std::free(*block);
    std::free(archive->text);
  }
  std::free(archive);
}
