#include "archive_writer.h"

#include <cstdio>

#include "data/binary_io.h"

namespace {
void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; i++) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
}  // namespace

ArchiveEntry ArchiveEntry::picture(const std::vector<std::uint32_t>& words) {
  ArchiveEntry e{tga, {}};
  e.bytes.reserve(words.size() * 4);
  for (std::uint32_t w : words) put_u32(e.bytes, w);
  return e;
}

std::vector<std::uint8_t> archive_bytes(const std::vector<ArchiveEntry>& entries) {
  std::vector<std::uint8_t> out = {'z', 'o', 'r', 'v'};
  put_u32(out, static_cast<std::uint32_t>(entries.size()));
  for (const ArchiveEntry& e : entries) {
    const char* tag = e.kind == ArchiveEntry::raw ? "raw" : "tga";
    out.insert(out.end(), tag, tag + 3);
    put_u32(out, static_cast<std::uint32_t>(e.bytes.size()));
    out.insert(out.end(), e.bytes.begin(), e.bytes.end());
  }
  return out;
}

bool archive_write(const std::string& path, const std::vector<ArchiveEntry>& entries) {
  const std::vector<std::uint8_t> bytes = archive_bytes(entries);
  const FileHandle f(std::fopen(path.c_str(), "wb"));
  if (!f) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
  return std::fflush(f.get()) == 0;
}
