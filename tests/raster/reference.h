// A slow rasterizer written straight from the drawing rules, for comparison:
// one routine per filler family, runtime clip flag, every row's edge values
// found afresh, every write bounds-checked.
#pragma once
#include <cstdint>

#include "canvas.h"

struct RefStats {
  long pixels_outside = 0;  // writes the rules would have made off the frame
};

void ref_shaded(Canvas& c, RefStats& stats, const std::uint32_t* shades, bool clip, ScreenVertex a,
                ScreenVertex b, ScreenVertex d);
// Depths must lie within 0..32767: the reference works in 32-bit 16.16.
void ref_flat(Canvas& c, RefStats& stats, bool clip, ScreenVertex a, ScreenVertex b, ScreenVertex d,
              std::uint32_t shade);
