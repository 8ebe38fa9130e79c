// The page's sound (qn-web): libmikmod's software mixer feeding SDL's audio
// callback, which emscripten runs on Web Audio. There is no alarm in a page:
// the demo clock counts the sound handed to the callback, one tick per 20 ms
// of it (882 stereo frames at 44.1 kHz); the song's place is the one being
// heard, so the pictures follow what is heard.
#pragma once
#include <cstdint>

// Before music_load: registers the page's driver ahead of the library's own,
// so that autodetection picks it.
void music_web_open();

// Instead of music_start: prints the same trace line and starts the player;
// the callback mixes from the next time the page's event loop runs.
void music_web_start();

// Once a frame: watches the sound output, and once it is given up, mixes
// what the wall clock says is due.
void music_web_frame();

// The song position and row being heard `ahead_ns` from now; with any other
// driver (the test mode's capture driver), those just mixed.
std::int32_t music_web_heard_position(std::uint64_t ahead_ns);
std::int32_t music_web_heard_row(std::uint64_t ahead_ns);
