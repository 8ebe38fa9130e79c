#include "data/archive_file.h"

#include <sys/stat.h>

#include <cstring>

namespace {

bool fail(ArchiveFile* archive, ArchiveFault fault) {
  archive->fault = fault;
  return false;
}

// Reads n bytes, never past the length measured at opening.
bool take(ArchiveFile* archive, void* into, std::size_t n) {
  if (archive->left < static_cast<long long>(n)) return false;
  if (std::fread(into, 1, n, archive->file.get()) != n) return false;
  archive->left -= static_cast<long long>(n);
  return true;
}

bool take_i32(ArchiveFile* archive, std::int32_t* value) {
  std::uint8_t b[4];
  if (!take(archive, b, sizeof b)) return false;
  *value = le_i32(b);
  return true;
}

}  // namespace

bool archive_file_open(ArchiveFile* archive, const char* path) {
  archive->file.reset(std::fopen(path, "rb"));
  struct stat st {};
  if (!archive->file || fstat(fileno(archive->file.get()), &st) != 0 || !S_ISREG(st.st_mode))
    return fail(archive, ARCHIVE_CANNOT_OPEN);
  archive->left = static_cast<long long>(st.st_size);
  char magic[4];
  if (!take(archive, magic, sizeof magic) || std::memcmp(magic, "zorv", 4) != 0)
    return fail(archive, ARCHIVE_BAD_MAGIC);
  if (!take_i32(archive, &archive->count)) return fail(archive, ARCHIVE_NO_COUNT);
  return true;
}

bool archive_file_next(ArchiveFile* archive) {
  if (archive->index + 1 >= archive->count) return false;
  archive->index++;
  char tag[3];
  if (!take(archive, tag, sizeof tag)) return fail(archive, ARCHIVE_CUT_HEADER);
  archive->raw = std::memcmp(tag, "raw", 3) == 0;
  if (!archive->raw && std::memcmp(tag, "tga", 3) != 0) return fail(archive, ARCHIVE_BAD_TAG);
  if (!take_i32(archive, &archive->size)) return fail(archive, ARCHIVE_CUT_HEADER);
  if (archive->size < 0) return fail(archive, ARCHIVE_NEGATIVE_SIZE);
  if (archive->size > archive->left) return fail(archive, ARCHIVE_CUT_PAYLOAD);
  if (!archive->raw && archive->size % 4 != 0) return fail(archive, ARCHIVE_SPLIT_WORD);
  return true;
}

bool archive_file_payload(ArchiveFile* archive, void* into) {
  // The size was checked against the file's length, so only a read error
  // can end this short.
  auto* bytes = static_cast<std::uint8_t*>(into);
  if (!take(archive, bytes, static_cast<std::size_t>(archive->size)))
    return fail(archive, ARCHIVE_READ_ERROR);
  if (!archive->raw) {
    for (std::int32_t at = 0; at < archive->size; at += 4) {
      const std::uint32_t word = le_u32(bytes + at);
      std::memcpy(bytes + at, &word, 4);
    }
  }
  return true;
}

void archive_file_report(const ArchiveFile* archive, std::FILE* out, const char* name) {
  const int index = archive->index, size = archive->size;
  const char* kind = archive->raw ? "raw" : "tga";
  std::fprintf(out, "%s: ", name);
  switch (archive->fault) {
    case ARCHIVE_OK:
      std::fprintf(out, "read without a fault\n");
      break;
    case ARCHIVE_CANNOT_OPEN:
      std::fprintf(out, "cannot be opened\n");
      break;
    case ARCHIVE_BAD_MAGIC:
      std::fprintf(out, "not a zorv archive\n");
      break;
    case ARCHIVE_NO_COUNT:
      std::fprintf(out, "the file ends before the entry count\n");
      break;
    case ARCHIVE_CUT_HEADER:
      std::fprintf(out, "the file ends inside the header of entry %d\n", index);
      break;
    case ARCHIVE_BAD_TAG:
      std::fprintf(out, "entry %d has an unknown tag\n", index);
      break;
    case ARCHIVE_NEGATIVE_SIZE:
      std::fprintf(out, "entry %d (\"%s\") has a negative size, %d\n", index, kind, size);
      break;
    case ARCHIVE_CUT_PAYLOAD:
      std::fprintf(out,
                   "entry %d (\"%s\") is cut short: %d bytes of payload, %lld left in the file\n",
                   index, kind, size, archive->left);
      break;
    case ARCHIVE_SPLIT_WORD:
      std::fprintf(out, "entry %d (\"tga\") has %d bytes, not a whole number of words\n", index,
                   size);
      break;
    case ARCHIVE_READ_ERROR:
      std::fprintf(out, "entry %d (\"%s\") cannot be read\n", index, kind);
      break;
  }
}
