// Music and clock: the module player, the 10 ms timer whose handler mixes the
// sound and advances the demo clock, and the song position the timeline reads.
#pragma once
#include <mikmod.h>

#include <cstdint>

// The loaded module.
extern MODULE* music_module;

// The song position and row of the sound reaching the listener now: the
// mixer runs ahead of it by the output's latency. Where the output says
// nothing of its latency (a capture in virtual time, where mixed and heard
// are one moment), the module's own position and row.
struct SongPlace {
  std::int32_t position;
  std::int32_t row;
};
// `ahead_ns` asks for the place a little later: where the picture drawn now
// reaches the screen only after that long.
SongPlace music_heard_place(std::uint64_t ahead_ns = 0);

// CLOCK_MONOTONIC in nanoseconds; async-signal-safe.
std::uint64_t music_now_ns();

// 20 ms ticks since the timer started; written only by the clock step.
extern volatile std::int32_t demo_ticks;
// Alternates 0 and 1 with every 10 ms alarm.
extern volatile std::uint8_t tick_phase;
// Time spent in MikMod_Update by the clock step, and how many calls: what
// the mixing costs the main thread (read them once the music has stopped).
extern volatile std::uint64_t music_mix_nanoseconds;
extern volatile std::uint32_t music_mix_calls;

// Returns 1 on success, 0 after printing the library's reason.
int music_load(const char* path, std::uint8_t voices);
// Player started, then the 10 ms timer armed. 1 on success; 0 having stopped everything.
int music_start();
// Alarms ignored, player stopped, module freed, library shut down.
void music_stop();

// The system's one signal handler: SIGTERM (and SIGINT and SIGHUP, where they
// are routed here) clears demo_running and is kept in demo_stop_signal,
// SIGALRM runs clock_step, anything else does nothing.
void handle_signal(int signal_number);

// One 10 ms alarm's work: advance the clock every second call and, while the
// demo runs and the song is active, mix the next 10 ms of sound.
void clock_step();

// ---- virtual time (qn-capture) ----------------------------------------------
// Before music_load: route the mixed sound into a WAV file through our own
// driver, which writes exactly 441 stereo frames per clock step. False after
// printing why. music_load then uses that driver only, and music_stop
// completes the file.
bool music_capture_open(const char* wav_path);
// Instead of music_start: Player_Start without a timer (prints the same trace
// line); the caller runs clock_step twice per 20 ms of virtual time.
bool music_start_virtual();
// False once writing the WAV has failed (reported once on standard error).
bool music_capture_ok();
// While false (true after music_capture_open) the driver mixes but keeps
// nothing: a capture that starts later than the song.
void music_capture_keep(bool keep);
