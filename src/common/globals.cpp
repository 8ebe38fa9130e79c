#include "common/globals.h"

// Static data, not set by code: a clear during start-up ends the timeline
// before its first frame.
volatile std::uint8_t demo_running = 1;
volatile std::sig_atomic_t demo_stop_signal = 0;
