// Our SDL output: the library's own SDL driver, but it counts what it hands
// to SDL, so that what is heard can be told from what is mixed. SDL's
// functions are looked up at run time, as the library binds them: we need no
// link to SDL and open the very SDL the library loaded.
#include <dlfcn.h>

#include <bit>
#include <cstdint>

#include "music/music.h"
#include "music/music_internal.h"
#include "music/virtch.h"

const char music_sdl_alias[] = "qn-sdl";

namespace {
// SDL's audio format record: the same layout in SDL 1.2 and 2.
struct AudioSpec {
  int freq;
  std::uint16_t format;
  std::uint8_t channels;
  std::uint8_t silence;
  std::uint16_t samples;
  std::uint16_t padding;
  std::uint32_t size;
  void (*callback)(void*, std::uint8_t*, int);
  void* userdata;
};
constexpr std::uint32_t INIT_AUDIO = 0x10;
constexpr std::uint16_t AUDIO_S16SYS = std::endian::native == std::endian::little ? 0x8010 : 0x9010;
constexpr unsigned BYTES_PER_FRAME = 4;
// 512 frames (12 ms at 44.1 kHz): SDL keeps about this much ahead of the
// listener on top of what the server queues.
constexpr std::uint16_t FRAMES_PER_CALLBACK = 512;

struct Sdl {
  int (*init_subsystem)(std::uint32_t);
  std::uint32_t (*was_init)(std::uint32_t);
  void (*quit_subsystem)(std::uint32_t);
  int (*open_audio)(AudioSpec*, AudioSpec*);
  void (*pause_audio)(int);
  void (*close_audio)();
};
Sdl sdl{};
AudioSpec obtained{};

template <typename F>
bool bind(F& f, const char* name) {
  f = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
  return f != nullptr;
}
bool bind_sdl() {
  return bind(sdl.init_subsystem, "SDL_InitSubSystem") && bind(sdl.was_init, "SDL_WasInit") &&
         bind(sdl.quit_subsystem, "SDL_QuitSubSystem") && bind(sdl.open_audio, "SDL_OpenAudio") &&
         bind(sdl.pause_audio, "SDL_PauseAudio") && bind(sdl.close_audio, "SDL_CloseAudio");
}

void sound_callback(void*, std::uint8_t* stream, int len) {
  if (len <= 0) return;
  const auto bytes = static_cast<ULONG>(len);
  MikMod_Lock();
  const ULONG got = VC_WriteBytes(reinterpret_cast<SBYTE*>(stream), bytes);
  if (got < bytes) VC_SilenceBytes(reinterpret_cast<SBYTE*>(stream) + got, bytes - got);
  MikMod_Unlock();
  const std::uint64_t before = heard_mixed_total();
  heard_mixed(bytes / BYTES_PER_FRAME);
  // Without the server's word: SDL asks for the next buffer as the one
  // before it starts to play.
  if (!server_latency_running())
    heard_anchor(static_cast<std::int64_t>(before) - obtained.samples, music_now_ns());
}

AudioSpec wanted_spec() {
  AudioSpec wanted{};
  wanted.freq = md_mixfreq;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = FRAMES_PER_CALLBACK;
  wanted.callback = sound_callback;
  return wanted;
}

// Present only if the device opens: some SDLs start their audio part
// without a device and fail only then.
BOOL sdl_is_present() {
  if (!bind_sdl()) return 0;
  const bool started = sdl.was_init(INIT_AUDIO) != 0;
  if (!started && sdl.init_subsystem(INIT_AUDIO) < 0) return 0;
  AudioSpec wanted = wanted_spec();
  AudioSpec got{};
  const bool opened = sdl.open_audio(&wanted, &got) >= 0;
  if (opened) sdl.close_audio();
  if (!started) sdl.quit_subsystem(INIT_AUDIO);
  return opened ? 1 : 0;
}

int sdl_init() {
  if (!bind_sdl() || sdl.init_subsystem(INIT_AUDIO) < 0) {
    MikMod_errno = MMERR_OPENING_AUDIO;
    return 1;
  }
  AudioSpec wanted = wanted_spec();
  // Our callback writes 16-bit stereo only: SDL converts whatever the device takes.
  md_mode |= DMODE_16BITS | DMODE_STEREO;
  md_mode &= ~DMODE_FLOAT;
  if (sdl.open_audio(&wanted, &obtained) < 0) {
    MikMod_errno = MMERR_OPENING_AUDIO;
    return 1;
  }
  md_mode |= DMODE_SOFT_MUSIC;
  if (VC_Init() != 0) return 1;
  server_latency_start(md_mixfreq);
  return 0;
}

void sdl_exit() {
  sdl.close_audio();
  server_latency_stop();
  VC_Exit();
}

int sdl_reset() {
  sdl_exit();
  return sdl_init();
}

int sdl_play_start() {
  if (VC_PlayStart() != 0) return 1;
  sdl.pause_audio(0);
  return 0;
}

void sdl_play_stop() {
  sdl.pause_audio(1);
  VC_PlayStop();
}

void sdl_update() {}  // SDL's audio thread mixes

MDRIVER drv_qn_sdl =
    mixer_driver({"SDL", "SDL output that counts what it plays", music_sdl_alias, sdl_is_present,
                  sdl_init, sdl_exit, sdl_reset, sdl_play_start, sdl_play_stop, sdl_update});
}  // namespace

void music_register_outputs() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  MikMod_RegisterDriver(&drv_qn_sdl);
  music_register_server_output();
}

void music_sdl_audio_close() {
  if (md_driver == &drv_qn_sdl) sdl.close_audio();
}
