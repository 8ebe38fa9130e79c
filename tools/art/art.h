// The pictures of "zorv.dat": one generator per archive entry, each a pure
// function of its index (same pixels every build). Needs font_open first.
#pragma once
#include <string_view>
#include <vector>

#include "image.h"

constexpr int ART_TEXT_COUNT = 11;  // "tga" entries
constexpr int ART_MAP_COUNT = 18;   // "raw" entries

// `text` entry i: 256x256 textures (0..4, 9), 320x240 pictures (7, 8, 10),
// small spares (5, 6).
Picture art_text(int index);
// `maps` entry i: 320x240 text masks, the 256x256 height map (4).
Mask art_map(int index);

// The words a text mask is meant to show, lines joined by '\n'; empty for
// entries that hold no text.
std::string_view art_map_words(int index);
// The words written on `text` entry 10 (the closing picture).
std::string_view art_closing_words();
// The closing picture's lettering alone, as a mask.
Mask art_closing_mask();

// Generators, by subject.
Picture texture_emblem();          // text 0
Picture texture_tile();            // text 1
Picture texture_checks();          // text 2
Picture texture_panels();          // text 3
Picture texture_tracks();          // text 4
Picture texture_spare(int index);  // text 5, 6
Picture picture_planet();          // text 7
Picture picture_relief();          // text 8
Picture texture_glass_view();      // text 9
Picture picture_closing();         // text 10
Mask map_height();                 // maps 4
Mask map_text(int index);          // every other maps entry
