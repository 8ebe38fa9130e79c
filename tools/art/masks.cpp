// The text masks: the loading picture, the three logo steps and the white
// text overlays of the scenes, each laid out where its scene leaves room.
#include <array>
#include <string>

#include "art.h"
#include "font.h"

namespace {
constexpr int W = 320, H = 240;

struct MaskLayout {
  std::array<std::string_view, 3> lines;  // empty lines end the list
  std::array<int, 3> px;                  // wanted size; shrunk to fit the width
  int cy;                                 // centre row of the block
  int max_w;
};

// Scene 0's logo shows only rows 30..189 and splits by up to 3 pixels; scene
// 3's overlays sit in the sky (rows 0..119) above the landscape.
constexpr std::array<MaskLayout, ART_MAP_COUNT> layouts = {{
    {{"QUILLION", "loading"}, {50, 26}, 116, 300},  // 0: loading picture
    {{"ZORV"}, {150, 0}, 110, 290},                 // 1: logo, the group
    {{"presents"}, {80, 0}, 110, 290},              // 2: logo
    {{"QUILLION"}, {120, 0}, 110, 300},             // 3: logo, the title
    {{}, {}, 0, 0},                                 // 4: height map
    {{"code", "ZORV"}, {30, 44}, 56, 280},          // 5..7: scene 3 credits
    {{"graphics", "ZORV"}, {30, 44}, 56, 280},
    {{"music", "ZORV"}, {30, 44}, 56, 280},
    {{"greetings to", "all coders"}, {34, 34}, 120, 300},  // 8..11: scene 1
    {{"all pixel", "artists"}, {34, 34}, 120, 300},
    {{"all trackers", "and musicians"}, {34, 34}, 120, 300},
    {{"and everyone", "at the party"}, {34, 34}, 120, 300},
    {{"every pixel", "in software"}, {30, 30}, 44, 290},  // 12..14: scene 3
    {{"in step with", "the music"}, {30, 30}, 44, 290},
    {{"made by", "ZORV"}, {30, 44}, 44, 290},
    {{"look through", "the glass"}, {30, 30}, 186, 300},  // 15..17: scene 7
    {{"see you at", "the next party"}, {30, 30}, 186, 300},
    {{"ZORV", "signing off"}, {44, 30}, 186, 300},
}};
}  // namespace

std::string_view art_map_words(int index) {
  static std::array<std::string, ART_MAP_COUNT> joined;
  if (index < 0 || index >= ART_MAP_COUNT) return {};
  std::string& s = joined[static_cast<std::size_t>(index)];
  if (s.empty())
    for (std::string_view l : layouts[static_cast<std::size_t>(index)].lines)
      if (!l.empty()) {
        if (!s.empty()) s += '\n';
        s.append(l);
      }
  return s;
}

Mask map_text(int index) {
  Mask m = mask_make(W, H);
  const MaskLayout& l = layouts[static_cast<std::size_t>(index)];
  std::vector<TextSpec> lines;
  for (std::size_t i = 0; i < l.lines.size() && !l.lines[i].empty(); i++)
    lines.push_back({l.lines[i], std::min(l.px[i], text_fit(l.lines[i], l.max_w, l.px[i] * 2))});
  text_block(m, lines, W / 2, l.cy);
  return m;
}
