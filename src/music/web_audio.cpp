// The page's sound driver. SDL's audio callback runs between the frames, on
// the one thread, whenever the frame loop yields: it mixes the next buffer,
// or silence once the demo is told to end or the song is over, and advances
// demo_ticks by what it has handed out, silence included, so the clock runs
// on as the alarm did.
#include <SDL/SDL.h>
#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "common/globals.h"
#include "music/music.h"
#include "music/music_internal.h"
#include "music/music_web.h"
#include "music/virtch.h"

namespace {
constexpr std::uint32_t BYTES_PER_FRAME = 4;  // 16-bit stereo
std::uint64_t frames_handed_out = 0;
std::uint32_t callbacks = 0;
bool audio_open = false;

void audio_callback(void*, Uint8* stream, int len) {
  const ULONG bytes = static_cast<ULONG>(len);
  ULONG mixed = 0;
  if (demo_running != 0 && Player_Active())
    mixed = VC_WriteBytes(reinterpret_cast<SBYTE*>(stream), bytes);
  if (mixed < bytes) std::memset(stream + mixed, 0, bytes - mixed);
  frames_handed_out += bytes / BYTES_PER_FRAME;
  demo_ticks = static_cast<std::int32_t>(frames_handed_out / (md_mixfreq / 50u));
  callbacks++;
}

void close_audio() {
  if (audio_open) SDL_CloseAudio();
  audio_open = false;
}

BOOL web_is_present() { return 1; }

int web_init() {
  md_mode |= DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
    MikMod_errno = MMERR_OPENING_AUDIO;
    return 1;
  }
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(md_mixfreq);
  want.format = AUDIO_S16LSB;
  want.channels = 2;
  want.samples = 1024;  // 23 ms a buffer; SDL keeps a few queued ahead
  want.callback = audio_callback;
  if (SDL_OpenAudio(&want, nullptr) < 0) {
    MikMod_errno = MMERR_OPENING_AUDIO;
    return 1;
  }
  audio_open = true;
  return VC_Init();
}

void web_exit() {
  close_audio();
  VC_Exit();
}

int web_reset() { return 0; }
void web_update() {}  // the callback mixes

int web_play_start() {
  if (VC_PlayStart()) return 1;
  SDL_PauseAudio(0);
  return 0;
}

void web_play_stop() {
  if (audio_open) SDL_PauseAudio(1);
  VC_PlayStop();
}

MDRIVER drv_web =
    mixer_driver({"Web", "SDL audio callback in the page", "web", web_is_present, web_init,
                  web_exit, web_reset, web_play_start, web_play_stop, web_update});
}  // namespace

void music_web_open() { MikMod_RegisterDriver(&drv_web); }

void music_web_start() {
  std::printf("Initiating joined sound and timer startup sequence...\n");
  Player_Start(music_module);
}

// The page's device is SDL's: closed ahead of the library, as qn closes the
// one libmikmod's SDL driver opened.
void music_sdl_audio_close() { close_audio(); }

// What the page's test reads: the callback's turns and the sound handed out.
extern "C" EMSCRIPTEN_KEEPALIVE int web_audio_callbacks() { return static_cast<int>(callbacks); }
extern "C" EMSCRIPTEN_KEEPALIVE double web_audio_frames() {
  return static_cast<double>(frames_handed_out);
}
