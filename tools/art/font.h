// Text as hard white masks, rendered from one TrueType face through FreeType.
// Coverage is thresholded (the demo stamps text as pure white, no anti-aliasing)
// and opened with a 3x3 square, so that every lit pixel lies in a fully lit
// 3x3 block: no stroke is thinner than 3 pixels.
#pragma once
#include <string_view>
#include <vector>

#include "image.h"

// Opens the process-wide face; false when the file cannot be read as a font.
bool font_open(const char* path);
void font_close();

// One line of text cropped to its ink, with the row of its baseline (may lie
// outside the mask for text without descenders); lit bytes are 255.
struct TextLine {
  Mask mask;
  int baseline = 0;
};
TextLine text_line(std::string_view text, int px);

// The largest pixel size (down to min_px) at which text fits in max_w x max_h.
int text_fit(std::string_view text, int max_w, int max_h, int min_px = 12);

struct TextSpec {
  std::string_view text;
  int px;
};
// Lines stacked at `leading` times the larger size between baselines, each
// centred on column cx; the whole block's ink centred on row cy. Lit pixels
// are ORed into dst (255), anything off the mask is cut.
void text_block(Mask& dst, const std::vector<TextSpec>& lines, int cx, int cy,
                float leading = 1.25f);

// Keeps only lit pixels that belong to some fully lit 3x3 square.
void mask_open3(Mask& m);
