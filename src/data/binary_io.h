// What the binary data files are read and written with: a closer for their
// FILE handles, and the little-endian fields they are made of, taken a byte
// at a time so that the bytes are the same on every host.
#pragma once
#include <bit>
#include <cstdint>
#include <cstdio>
#include <memory>

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::uint16_t le_u16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
constexpr std::uint32_t le_u32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
constexpr std::int32_t le_i32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(le_u32(p));
}
constexpr float le_f32(const std::uint8_t* p) { return std::bit_cast<float>(le_u32(p)); }

constexpr void le_put_u32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; i++) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
constexpr void le_put_f32(std::uint8_t* p, float f) {
  le_put_u32(p, std::bit_cast<std::uint32_t>(f));
}
