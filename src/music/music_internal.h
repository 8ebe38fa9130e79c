// What the player shares with its drivers' helpers; not for other subsystems.
#pragma once
#include <mikmod.h>

#include <cstdint>

// The ordinal of the capture driver once music_capture_open has registered
// it, else 0.
int music_capture_driver_ordinal();

// Registers our SDL and sound-server outputs ahead of the library's drivers
// (once per process). The SDL one's alias is in music_sdl_alias.
void music_register_outputs();
extern const char music_sdl_alias[];
// Registers the sound-server output (where built with its client library).
void music_register_server_output();
// When the library plays through it: stops its writer thread, which may be
// waiting for the library's lock.
void music_server_output_close();

// When the library plays through our SDL output: closes SDL's audio device,
// waiting for a callback in flight. Does nothing with any other driver.
void music_sdl_audio_close();

// ---- what is heard -----------------------------------------------------------
// Before Player_Start, with no mixing in flight: forget the last song's
// stamps and word from the output (and stamp every tick from now on).
void heard_reset();
// An output has handed `frames` more mixed frames to its device.
void heard_mixed(std::uint64_t frames);
std::uint64_t heard_mixed_total();
// An output says: `frame` (counted from the song's first mixed frame) is
// reaching the listener at monotonic time `at_ns`.
void heard_anchor(std::int64_t frame, std::uint64_t at_ns);

// ---- the sound server's word (where built with its client library) -------------
// A thread that asks the sound server, a few times a second, how long our
// playback stream's queued sound takes to play, and anchors what is heard.
// Start and stop with the alarm blocked; `running` says whether it has the
// server's word.
void server_latency_start(unsigned rate);
void server_latency_stop();
bool server_latency_running();
