// The null back end: opens, counts presentations, never quits, shows
// nothing. For running demo control without a screen (the tests).
#pragma once
#include <cstdint>

struct NullScreen {
  int presentations;                // since display_open
  const std::uint32_t* last_image;  // the last image presented, as passed
  const char* last_lock_error;      // ... and the message it came with
};

const NullScreen& display_null_screen();
