// Archives for the tests: the full set of entries the demo reads, each of
// the size its consumers need, with payloads that tell the entries apart.
#pragma once
#include <cstdint>
#include <vector>

#include "archive_writer.h"

// The sizes the demo needs, by index; unused indices get small odd sizes.
inline std::vector<int> fixture_text_sizes() {
  const int t = 256 * 256 * 4, p = 320 * 240 * 4;
  return {t, t, t, t, t, 12, 0, p, p, t, p};
}
inline std::vector<int> fixture_maps_sizes() {
  std::vector<int> sizes(18, 320 * 240);
  sizes[4] = 256 * 256;
  return sizes;
}

// Word i of text entry k is (k << 24) | i; byte i of maps entry k is
// (k * 7 + i) & 0xFF, except maps[0], the loading mask, which draws a frame
// and a block of bars whose bytes straddle the threshold of 10.
inline std::uint32_t fixture_text_word(int k, int i) {
  return (static_cast<std::uint32_t>(k) << 24) | (i & 0xFFFFFF);
}
inline std::uint8_t fixture_maps_byte(int k, int i) {
  if (k != 0) return static_cast<std::uint8_t>((k * 7 + i) & 0xFF);
  const int x = i % 320, y = i / 320;
  if (x < 4 || x >= 316 || y < 4 || y >= 236) return 255;
  if (y >= 100 && y < 140 && x >= 40 && x < 280) return (x / 8) % 2 ? 11 : 10;
  return static_cast<std::uint8_t>((x + y) % 11);  // 0..10: all dark
}

inline ArchiveEntry fixture_text(int k, int bytes) {
  std::vector<std::uint32_t> words(static_cast<std::size_t>(bytes / 4));
  for (std::size_t i = 0; i < words.size(); i++)
    words[i] = fixture_text_word(k, static_cast<int>(i));
  return ArchiveEntry::picture(words);
}
inline ArchiveEntry fixture_maps(int k, int bytes) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bytes));
  for (std::size_t i = 0; i < pixels.size(); i++)
    pixels[i] = fixture_maps_byte(k, static_cast<int>(i));
  return ArchiveEntry::mask(std::move(pixels));
}

// Every entry, "tga" and "raw" interleaved: each "raw" entry follows the
// "tga" entry of the same index (the rest of the "raw" entries at the end).
inline std::vector<ArchiveEntry> fixture_entries() {
  const std::vector<int> text = fixture_text_sizes(), maps = fixture_maps_sizes();
  std::vector<ArchiveEntry> entries;
  for (std::size_t k = 0; k < maps.size(); k++) {
    if (k < text.size()) entries.push_back(fixture_text(static_cast<int>(k), text[k]));
    entries.push_back(fixture_maps(static_cast<int>(k), maps[k]));
  }
  return entries;
}
