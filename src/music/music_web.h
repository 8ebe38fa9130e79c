// The page's sound (qn-web): libmikmod's software mixer feeding SDL's audio
// callback, which emscripten runs on Web Audio. There is no alarm in a page:
// the demo clock counts the sound handed to the callback, one tick per 20 ms
// of it (882 stereo frames at 44.1 kHz), so the pictures follow what is heard.
#pragma once

// Before music_load: registers the page's driver ahead of the library's own,
// so that autodetection picks it.
void music_web_open();

// Instead of music_start: prints the same trace line and starts the player;
// the callback mixes from the next time the page's event loop runs.
void music_web_start();
