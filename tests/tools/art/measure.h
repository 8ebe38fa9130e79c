// Measurements the picture tests share.
#pragma once
#include <string>
#include <string_view>

#include "image.h"

// What tesseract reads in a text mask (drawn dark on light, scaled up).
std::string ocr_mask(const Mask& m);
// Share of the characters of `want` that `got` gets right: 1 - edit
// distance / length, both lower-cased with runs of white space made one space.
double ocr_accuracy(std::string_view want, std::string_view got);

// Mean per-channel step between neighbouring columns (or rows) inside the
// picture, and the mean step across the wrap-around edge.
struct Steps {
  double inside = 0, wrap = 0;
};
Steps column_steps(const Picture& p);
Steps row_steps(const Picture& p);

// A mask as a grey picture, so the same measures apply to it.
Picture mask_as_picture(const Mask& m);

// Number of distinct words, and the share of the commonest one.
std::size_t distinct_colours(const Picture& p);
double commonest_share(const Picture& p);
