// A small PNG writer for captured frames: 8-bit RGB, filter 0, the zlib
// stream made of stored (uncompressed) blocks, so it needs no library.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

// CRC-32 as PNG chunks use it, continued from `crc` (0 to start).
std::uint32_t png_crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

// The whole file for a width x height image of 0x00RRGGBB words (bits 24-31
// ignored).
std::vector<std::uint8_t> png_encode(const std::uint32_t* pixels, int width, int height);

// Writes png_encode to path; false when the file cannot be written.
bool png_write(const char* path, const std::uint32_t* pixels, int width, int height);
