// Closing SDL's audio device ahead of the library's own shut-down. The SDL
// functions are looked up at run time, as the library's SDL driver binds
// them: we need no link to SDL, and close the very device the driver opened.
#include <dlfcn.h>

#include "music/music.h"
#include "music/music_internal.h"

void music_sdl_audio_close() {
  if (md_driver != &drv_sdl) return;
  using CloseAudio = void (*)();
  auto close_audio = reinterpret_cast<CloseAudio>(dlsym(RTLD_DEFAULT, "SDL_CloseAudio"));
  if (close_audio) close_audio();
}
