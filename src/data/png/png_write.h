// Pictures as PNG files through libpng: 8-bit RGB, compressed for speed
// rather than size, since the capture writes one for every frame it is asked to.
#pragma once
#include <cstdint>
#include <span>

// Writes a width x height picture of 0x00RRGGBB words, rows top to bottom
// (bits 24-31 ignored). False when the file cannot be made or written, with
// errno saying why where the system gave a reason.
bool png_write(const char* path, std::span<const std::uint32_t> pixels, int width, int height);
