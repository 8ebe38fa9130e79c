// The archive reader: "zorv.dat" split into its "tga" and "raw" entries.
//
// File: "zorv" magic, a signed 32-bit entry count, then per entry a 3-byte
// tag, a signed 32-bit payload size and the payload, all little-endian.
// Besides the wrong magic and the unknown tag, the reader refuses a file
// whose sizes do not fit in what is left of it (checked before anything is
// allocated from them) and one that lacks an entry the scenes index by
// number, so nothing downstream ever reads past a block.
#include "data/archive.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

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

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// The file and how many of its bytes are still unread.
struct Source {
  std::FILE* file;
  long long left;
};

bool source_read(Source& src, void* into, std::size_t n) {
  if (src.left < static_cast<long long>(n)) return false;
  if (std::fread(into, 1, n, src.file) != n) return false;
  src.left -= static_cast<long long>(n);
  return true;
}

bool source_read_i32(Source& src, std::int32_t& value) {
  std::uint8_t b[4];
  if (!source_read(src, b, 4)) return false;
  const std::uint32_t u = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  value = static_cast<std::int32_t>(u);
  return true;
}

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
  void* grown = std::realloc(list.blocks, sizeof(*list.blocks) * (static_cast<std::size_t>(list.count) + 1));
  if (!grown) {
    std::printf("Unable to allocate memory for p->%s structure\n", list.name);
    return false;
  }
  list.blocks = static_cast<decltype(list.blocks)>(grown);
  return true;
}

// A "tga" payload is stored little-endian; turn it into host words in place.
void words_from_le(std::uint8_t* bytes, std::size_t words) {
  for (std::size_t i = 0; i < words; i++) {
    const std::uint8_t* b = bytes + i * 4;
    const std::uint32_t w = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    std::memcpy(bytes + i * 4, &w, 4);
  }
}

}  // namespace

TextureStructure* archive_read() {
  std::printf("Unpacking data...\n");

  std::unique_ptr<std::FILE, FileCloser> file(std::fopen("zorv.dat", "rb"));
  struct stat st {};
  if (!file || fstat(fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::printf("Unable to open zorv.dat\n");
    return nullptr;
  }
  Source src{file.get(), static_cast<long long>(st.st_size)};

  char magic[4];
  if (!source_read(src, magic, 4) || std::memcmp(magic, "zorv", 4) != 0) {
    std::printf("zorv.dat: This is not a zorv data file format\n");
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

  std::int32_t count = 0;
  if (!source_read_i32(src, count)) {
    std::printf("zorv.dat: the file ends before the entry count\n");
    return fail();
  }

  for (int index = 0; index < count; index++) {
    char tag[3];
    if (!source_read(src, tag, 3)) {
      std::printf("zorv.dat: the file ends inside the header of entry %d\n", index);
      return fail();
    }
    const bool is_raw = std::memcmp(tag, "raw", 3) == 0;
    if (!is_raw && std::memcmp(tag, "tga", 3) != 0) {
      std::printf("Corrupt header!\n");
      return fail();
    }
    std::int32_t size = 0;
    if (!source_read_i32(src, size)) {
      std::printf("zorv.dat: the file ends inside the header of entry %d\n", index);
      return fail();
    }
    const char* kind = is_raw ? "raw" : "tga";
    if (size < 0) {
      std::printf("zorv.dat: entry %d (\"%s\") has a negative size, %d\n", index, kind, size);
      return fail();
    }
    if (size > src.left) {
      std::printf("zorv.dat: entry %d (\"%s\") is cut short: %d bytes of payload, %lld left in the file\n",
                  index, kind, size, src.left);
      return fail();
    }
    if (!is_raw && size % 4 != 0) {
      std::printf("zorv.dat: entry %d (\"tga\") has %d bytes, not a whole number of words\n", index, size);
      return fail();
    }

    // One byte for an empty entry, so that it still has a block of its own.
    void* block = nullptr;
    auto add = [&](auto& list) {
      if (!list_grow(list)) return false;
      block = std::malloc(size > 0 ? static_cast<std::size_t>(size) : 1);
      if (!block) {
        std::printf("Unable to allocate memory for p->%s[%d]\n", list.name, list.count);
        return false;
      }
      list.blocks[list.count] = static_cast<std::remove_reference_t<decltype(*list.blocks)>>(block);
      if (list.count < static_cast<int>(list.sizes.size())) list.sizes[list.count] = size;
      list.count++;
      return true;
    };
    if (!(is_raw ? add(maps) : add(text))) return fail();
    // The size was checked against the file's length, so only a read error
    // can end this short.
    if (!source_read(src, block, static_cast<std::size_t>(size))) {
      std::printf("zorv.dat: entry %d (\"%s\") cannot be read\n", index, kind);
      return fail();
    }
    if (!is_raw) words_from_le(static_cast<std::uint8_t*>(block), static_cast<std::size_t>(size) / 4);
  }

  // Every entry the scenes index by number must be there, whole.
  if (text.count < static_cast<int>(TEXT_SHAPES.size()) || maps.count < static_cast<int>(MAPS_SHAPES.size())) {
    std::printf("zorv.dat: the demo needs at least %zu \"tga\" and %zu \"raw\" entries, this file has %d and %d\n",
                TEXT_SHAPES.size(), MAPS_SHAPES.size(), text.count, maps.count);
    return fail();
  }
  auto shaped = [](const auto& list) {
    for (std::size_t i = 0; i < list.shapes.size(); i++) {
      if (list.shapes[i] != 0 && list.sizes[i] != list.shapes[i]) {
        std::printf("zorv.dat: %s[%zu] has %d bytes, the demo needs %d\n", list.name, i, list.sizes[i],
                    list.shapes[i]);
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
