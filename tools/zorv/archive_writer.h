// Writes a "zorv.dat" archive: entries in, archive out. Used by the data
// builder and by tests that need archives of their own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ArchiveEntry {
  enum Kind { raw, tga } kind;
  std::vector<std::uint8_t> bytes;  // raw: one byte a pixel; tga: little-endian words

  static ArchiveEntry mask(std::vector<std::uint8_t> pixels) { return {raw, std::move(pixels)}; }
  static ArchiveEntry picture(const std::vector<std::uint32_t>& words);
};

// The whole file as bytes: magic, count, then each entry's tag, size, payload.
std::vector<std::uint8_t> archive_bytes(const std::vector<ArchiveEntry>& entries);

// Writes archive_bytes to path; false (with errno set) when it cannot.
bool archive_write(const std::string& path, const std::vector<ArchiveEntry>& entries);
