// STUB: replaced by the player and clock.
#include "music/music.h"
MODULE* music_module = nullptr;
volatile std::int32_t demo_ticks = 0;
volatile std::uint8_t tick_phase = 0;
int music_load(const char*, std::uint8_t) { return 1; }
int music_start() { return 1; }
void music_stop() {}
void handle_signal(int) {}
void clock_step() {}
int music_capture_open(const char*) { return 1; }
int music_start_virtual() { return 1; }
