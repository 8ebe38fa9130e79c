// The capture back end shows nothing on a screen: it keeps the picture one
// would show (the last image presented, black after a clear) and counts the
// presentations, for the capture program to write out once a frame.
#pragma once
#include <cstdint>

#include "common/frame.h"

struct CaptureScreen {
  std::uint32_t picture[FRAME_PIXELS];  // words as presented; bits 24-31 ignored
  int presentations;                    // since the last display_clear
};

const CaptureScreen& display_capture_screen();
