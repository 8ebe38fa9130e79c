// The entries of a "zorv.dat" archive, one after another: magic "zorv", a
// signed 32-bit entry count, then per entry a 3-byte tag ("raw" or "tga"), a
// signed 32-bit payload size and the payload, all little-endian. Every size
// is checked against what is left of the file before a caller allocates from
// it. The demo's loader and the archive tools read the format through this.
#pragma once
#include <cstdint>
#include <cstdio>

#include "data/binary_io.h"

enum ArchiveFault {
  ARCHIVE_OK,
  ARCHIVE_CANNOT_OPEN,  // missing, unreadable or not a regular file
  ARCHIVE_BAD_MAGIC,    // (also a file shorter than the magic)
  ARCHIVE_NO_COUNT,     // the file ends before the entry count
  ARCHIVE_CUT_HEADER,   // the file ends inside an entry's tag or size
  ARCHIVE_BAD_TAG,      // a tag other than "raw" and "tga"
  ARCHIVE_NEGATIVE_SIZE,
  ARCHIVE_CUT_PAYLOAD,  // a size beyond what is left of the file
  ARCHIVE_SPLIT_WORD,   // a "tga" size that is not a whole number of words
  ARCHIVE_READ_ERROR,
};

// An archive being read, positioned at its current entry.
struct ArchiveFile {
  FileHandle file;
  long long left = 0;       // bytes not read yet
  std::int32_t count = 0;   // entries the header announces; 0 or less: none
  std::int32_t index = -1;  // the current entry, counted over both kinds
  bool raw = false;         // the current entry is "raw" (bytes), not "tga" (words)
  std::int32_t size = 0;    // the current entry's payload bytes
  ArchiveFault fault = ARCHIVE_OK;
};

// Opens the archive and reads the magic and the entry count.
bool archive_file_open(ArchiveFile* archive, const char* path);
// Reads the next entry's tag and size; false after the last entry (fault
// still ARCHIVE_OK) or on a fault. Each entry's payload must be read before
// the next entry.
bool archive_file_next(ArchiveFile* archive);
// Reads the current entry's size bytes into `into`; "tga" words come out in
// host order.
bool archive_file_payload(ArchiveFile* archive, void* into);
// Prints "<name>: <what went wrong>\n" for the archive's fault.
void archive_file_report(const ArchiveFile* archive, std::FILE* out, const char* name);
