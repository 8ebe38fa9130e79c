#include "common/globals.h"

// Static data, not set by code: a clear during start-up ends the timeline
// before its first frame.
volatile std::uint8_t demo_running = 1;
