// Whole-frame pixel operations: the white lift, text stamping and overlays.
#include <cstdint>

#include "common/frame.h"
#include "effects/channels.h"
#include "effects/effects.h"

void brighten(std::uint32_t* frame, std::uint32_t level) {
  channels::sum_span(frame, frame, nullptr, level, FRAME_PIXELS);
}

void stamp_mask(std::uint32_t* __restrict dest, const std::uint8_t* __restrict mask) {
  for (int i = 0; i < FRAME_PIXELS; i++) dest[i] = mask[i] > 10 ? 0xFFFFFFFFu : dest[i];
}

void overlay_white(std::uint32_t* __restrict dest, const std::uint32_t* __restrict overlay) {
  for (int i = 0; i < FRAME_PIXELS; i++) dest[i] = overlay[i] == 0xFFFFFFFFu ? overlay[i] : dest[i];
}

void overlay_nonzero(std::uint32_t* __restrict dest, const std::uint32_t* __restrict overlay) {
  for (int i = 0; i < FRAME_PIXELS; i++) dest[i] = overlay[i] != 0 ? overlay[i] : dest[i];
}
