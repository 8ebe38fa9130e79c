// "zorv.dat": the packed archive of 32-bit pictures ("tga") and 8-bit
// pictures ("raw"), read once at start-up and kept until shut-down.
#pragma once
#include <cstdint>

// Two null-terminated lists in file order; no sizes are kept, each consumer
// knows the shape of the entry it reads by its index.
struct TextureStructure {
  std::uint32_t** text;  // "tga" entries: 256x256 textures or 320x240 pictures
  std::uint8_t** maps;   // "raw" entries: 320x240 masks, one 256x256 height map
};

// Reads "zorv.dat" from the current directory. Prints "Unpacking data...\n",
// and on any failure exactly one message, and returns nullptr.
TextureStructure* archive_read();

void archive_free(TextureStructure* archive);
