// Process-wide state shared across subsystems.
#pragma once
#include <csignal>
#include <cstdint>

// 1 from program start; cleared (never set again) by the quit input, a failed
// screen lock, SIGTERM and the end of the timeline. Read by the timer handler.
extern volatile std::uint8_t demo_running;
// The signal that cleared demo_running (SIGTERM; in qn-capture also SIGINT and
// SIGHUP), 0 while none has.
extern volatile std::sig_atomic_t demo_stop_signal;
