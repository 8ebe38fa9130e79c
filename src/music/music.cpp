// The module player and the 10 ms timer whose handler mixes and ticks.
#include "music/music.h"

#include <fcntl.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "common/alarm.h"
#include "common/globals.h"
#include "common/signal_keep.h"
#include "music/music_internal.h"

MODULE* music_module = nullptr;
volatile std::int32_t demo_ticks = 0;
volatile std::uint8_t tick_phase = 0;
volatile std::uint64_t music_mix_nanoseconds = 0;
volatile std::uint32_t music_mix_calls = 0;

namespace {
// While the library probes for a device, the sound libraries under it (ALSA's,
// a sound server's client) print their own diagnostics, dozens of lines where
// there is no device: they go to /dev/null, and the demo says the outcome in
// one line of its own.
class QuietStderr {
 public:
  QuietStderr() : saved_(dup(2)) {
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, 2);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    dup2(saved_, 2);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_;
};

// Tries the preferred driver first, then autodetection. The SDL driver mixes
// in SDL's own audio thread, so MikMod_Update returns at once; a sound
// server's driver blocks in its write and would hold the timer handler (and so
// the frame loop) most of the time.
int init_library() {
  int preferred = music_capture_driver_ordinal();
#ifdef __EMSCRIPTEN__
  // The page mixes in its own audio callback; the library's output is a stand-in.
  if (preferred == 0) preferred = MikMod_DriverFromAlias(const_cast<CHAR*>("sdl"));
#else
  if (preferred == 0) preferred = MikMod_DriverFromAlias(const_cast<CHAR*>(music_sdl_alias));
#endif
  // The library's threads (SDL's audio thread, a sound server's main loop)
  // start in here and inherit the blocked alarm: it only ever reaches the main thread.
  AlarmBlock block;
  // The SDL output starts SDL 2, whose handlers would swallow Ctrl-C.
  SignalKeep signals;
  QuietStderr quiet;
  if (preferred > 0) {
    md_device = static_cast<UWORD>(preferred);
    if (MikMod_Init("") == 0) return 0;
    if (music_capture_driver_ordinal() != 0) return 1;  // a capture never falls back to a device
  }
  md_device = 0;
  return MikMod_Init("");
}
}  // namespace

void clock_step() {
  if (tick_phase == 1) {
    demo_ticks = static_cast<std::int32_t>(static_cast<std::uint32_t>(demo_ticks) + 1u);
    tick_phase = 0;
  } else {
    tick_phase = static_cast<std::uint8_t>(tick_phase + 1);
  }
  if (demo_running != 0 && Player_Active()) {
    const std::uint64_t start = music_now_ns();
    MikMod_Update();
    music_mix_nanoseconds = music_mix_nanoseconds + (music_now_ns() - start);
    music_mix_calls = music_mix_calls + 1u;
  }
}

void handle_signal(int signal_number) {
  if (signal_number == SIGTERM || signal_number == SIGINT || signal_number == SIGHUP) {
    demo_stop_signal = signal_number;
    demo_running = 0;
  } else if (signal_number == SIGALRM) {
    clock_step();
  }
}

int music_load(const char* path, std::uint8_t voices) {
  std::printf("Initiating Mikmod startup sequence...\n");
  // The library links each registration into a list without checking for it
  // twice: a second registration makes a cycle, so register once per process.
  static bool registered = false;
  if (!registered) {
    MikMod_RegisterAllLoaders();
#ifndef __EMSCRIPTEN__
    // Ours first: autodetection takes the first output that is there.
    music_register_outputs();
#endif
    MikMod_RegisterAllDrivers();
    registered = true;
  }

  md_pansep = 128;
  md_volume = 128;
  md_reverb = 0;
  md_device = 0;
  md_mixfreq = 44100;
  md_mode |= DMODE_SOFT_MUSIC;
  md_mode &= ~DMODE_INTERP;
  md_mode &= ~DMODE_HQMIXER;
  md_mode &= ~DMODE_SURROUND;
  md_mode |= DMODE_16BITS;
  md_mode |= DMODE_STEREO;

  if (init_library() != 0) {
    std::fflush(stdout);
    std::fprintf(stderr, "Mikmod: Unable to initialize mikmod: %s\n",
                 MikMod_strerror(MikMod_errno));
    return 0;
  }
  music_module = Player_Load(path, voices, 0);
  if (!music_module) {
    std::fflush(stdout);
    std::fprintf(stderr, "Unable to load module becouse: %s\n", MikMod_strerror(MikMod_errno));
    MikMod_Exit();
    return 0;
  }
  return 1;
}

int music_start() {
  std::printf("Initiating joined sound and timer startup sequence...\n");
  std::fflush(stdout);
  if (std::signal(SIGALRM, handle_signal) == SIG_ERR) {
    std::printf("Unable to setup signalhandler for SIGALRM\n");
    music_stop();
    return 0;
  }
  itimerval value;
  value.it_value.tv_sec = 0;
  value.it_value.tv_usec = 10000;
  value.it_interval.tv_sec = 0;
  value.it_interval.tv_usec = 10000;
  {
    AlarmBlock block;  // a driver may start its thread on the first play
    heard_reset();
    Player_Start(music_module);
  }
  if (setitimer(ITIMER_REAL, &value, nullptr) != 0) {
    std::printf("Unable to setup itimer\n");
    std::fflush(stdout);
    std::perror("setitimer");
    music_stop();
    return 0;
  }
  return 1;
}

bool music_start_virtual() {
  std::printf("Initiating joined sound and timer startup sequence...\n");
  heard_reset();
  Player_Start(music_module);
  return true;
}

void music_stop() {
  std::signal(SIGALRM, SIG_IGN);
  // SDL's audio callback waits for the library's lock while holding SDL's;
  // MikMod_Exit takes them the other way round. Closing SDL's device first
  // lets a callback in flight finish before anything else is locked.
  music_sdl_audio_close();
#ifndef __EMSCRIPTEN__
  music_server_output_close();
#endif
  Player_Stop();
  if (music_module) Player_Free(music_module);
  music_module = nullptr;
  MikMod_Exit();
}
