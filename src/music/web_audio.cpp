// The page's sound driver. SDL's audio callback runs between the frames, on
// the one thread, whenever the frame loop yields: it mixes the next buffer,
// or silence once the demo is told to end or the song is over, and advances
// demo_ticks by what it has handed out, silence included, so the clock runs
// on as the alarm did.
//
// What is heard lags what is mixed by the queue SDL keeps ahead and the
// output's own latency, so each slice of a buffer is stamped with the audio
// context's time at which it will be heard and the song's place at its
// start; the timeline reads the stamp being heard now. A hidden page holds
// the sound (no mixing, the context suspended), so nothing moves on while
// no frames are drawn. An output whose clock does not move for a second is
// given up: the page says so and mixes by the wall clock, into nothing.
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
constexpr int BUFFER_FRAMES = 1024;           // 23 ms a buffer; SDL keeps a few queued ahead
constexpr int SLICE_FRAMES = 256;             // the stamps' grain: 6 ms
constexpr double STALL_MS = 1000;             // an output clock standing this long is given up

// The song's place at the start of a slice, and when the slice is heard.
struct Stamp {
  double heard_at;  // audio context seconds
  std::int32_t position, row;
};
// Enough for SDL's queue (under 200 ms) many times over.
constexpr std::uint32_t STAMP_RING = 256;
Stamp stamps[STAMP_RING];
std::uint32_t stamps_made = 0;

std::uint64_t frames_handed_out = 0;
std::uint32_t callbacks = 0;
bool audio_open = false;
bool playing = false;
bool held = false;                     // the page is hidden
bool wall_clock = false;               // no sound output: the wall clock paces the mixing
double wall_ms = 0;                    // the wall clock's origin ...
std::uint64_t wall_frames = 0;         // ... and the sound handed out by then
double watch_ms = -1, watch_time = 0;  // when the output's clock was last seen to move
Uint8 scratch[BUFFER_FRAMES * BYTES_PER_FRAME];

// The bodies are JavaScript, which the C++ formatter would break.
// clang-format off
// Where SDL will schedule the buffer being mixed now (its pushAudio, run
// right after the callback in the same task).
EM_JS(double, next_buffer_time, (), {
  return Math.max(SDL.audioContext.currentTime + SDL.audio.bufferingDelay, SDL.audio.nextPlayTime);
});
// The context time of the sample leaving the output now: the output
// timestamp carried on to this moment, or else the context's clock less its
// latencies.
EM_JS(double, heard_time, (), {
  const c = SDL.audioContext;
  if (c.getOutputTimestamp) {
    const ts = c.getOutputTimestamp();
    if (ts.contextTime > 0) {
      const since = c.state === 'running' ? (performance.now() - ts.performanceTime) / 1000 : 0;
      return ts.contextTime + Math.max(0, since);
    }
  }
  return c.currentTime - (c.baseLatency || 0) - (c.outputLatency || 0);
});
EM_JS(double, context_time, (), { return SDL.audioContext.currentTime; });
EM_JS(void, context_hold, (int hold), {
  const c = SDL.audioContext;
  (hold ? c.suspend() : c.resume()).catch(() => {});
});
EM_JS(void, page_no_sound, (), { if (Module.onNoSound) Module.onNoSound(); });
// clang-format on

// Mixes `bytes` into `out` in slices, each stamped as heard from `heard_at`
// on, and moves the clock by all of it.
void mix(Uint8* out, ULONG bytes, double heard_at) {
  const ULONG slice = SLICE_FRAMES * BYTES_PER_FRAME;
  for (ULONG done = 0; done < bytes; done += slice) {
    const ULONG n = bytes - done < slice ? bytes - done : slice;
    stamps[stamps_made++ % STAMP_RING] = {
        heard_at + static_cast<double>(done / BYTES_PER_FRAME) / md_mixfreq, music_module->sngpos,
        music_module->patpos};
    ULONG mixed = 0;
    if (demo_running != 0 && Player_Active())
      mixed = VC_WriteBytes(reinterpret_cast<SBYTE*>(out + done), n);
    if (mixed < n) std::memset(out + done + mixed, 0, n - mixed);
  }
  frames_handed_out += bytes / BYTES_PER_FRAME;
  demo_ticks = static_cast<std::int32_t>(frames_handed_out / (md_mixfreq / 50u));
}

void audio_callback(void*, Uint8* stream, int len) {
  // Held or given up, SDL drops what it gets: nothing may be mixed for it.
  if (held || wall_clock) {
    std::memset(stream, 0, static_cast<std::size_t>(len));
    return;
  }
  mix(stream, static_cast<ULONG>(len), next_buffer_time());
  callbacks++;
}

// The newest stamp heard `ahead_ns` from now, or null where every sample is
// heard as it is mixed (the wall clock, or another driver). A hidden page
// shows nothing and its few frames would stretch the lead: there the lead
// stays the one it had when shown, so the song stands where the sound stopped.
const Stamp* heard_stamp(std::uint64_t ahead_ns) {
  if (!playing || wall_clock || stamps_made == 0) return nullptr;
  static std::uint64_t shown_ahead_ns = 0;
  if (!held) shown_ahead_ns = ahead_ns;
  const double now = heard_time() + static_cast<double>(shown_ahead_ns) / 1e9;
  const std::uint32_t oldest = stamps_made > STAMP_RING ? stamps_made - STAMP_RING : 0;
  for (std::uint32_t n = stamps_made; n > oldest; n--)
    if (stamps[(n - 1) % STAMP_RING].heard_at <= now) return &stamps[(n - 1) % STAMP_RING];
  return &stamps[oldest % STAMP_RING];
}

void give_up_output(double now) {
  wall_clock = true;
  SDL_PauseAudio(1);
  wall_ms = now;
  wall_frames = frames_handed_out;
  std::printf("no sound output: playing without sound\n");
  page_no_sound();
}

void close_audio() {
  if (audio_open) SDL_CloseAudio();
  audio_open = false;
  playing = false;
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
  want.samples = BUFFER_FRAMES;
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
  playing = true;
  if (held) context_hold(1);
  SDL_PauseAudio(held ? 1 : 0);
  return 0;
}

void web_play_stop() {
  if (audio_open) SDL_PauseAudio(1);
  playing = false;
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

void music_web_frame() {
  if (!playing || held) return;
  const double now = emscripten_get_now();
  if (wall_clock) {
    const auto due = wall_frames + static_cast<std::uint64_t>((now - wall_ms) * md_mixfreq / 1000);
    while (frames_handed_out + BUFFER_FRAMES <= due) mix(scratch, sizeof scratch, 0);
    return;
  }
  const double t = context_time();
  if (watch_ms < 0 || t != watch_time) {
    watch_ms = now;
    watch_time = t;
  } else if (now - watch_ms > STALL_MS) {
    give_up_output(now);
  }
}

std::int32_t music_web_heard_position(std::uint64_t ahead_ns) {
  const Stamp* s = heard_stamp(ahead_ns);
  return s ? s->position : music_module->sngpos;
}

std::int32_t music_web_heard_row(std::uint64_t ahead_ns) {
  const Stamp* s = heard_stamp(ahead_ns);
  return s ? s->row : music_module->patpos;
}

// The page's device is SDL's: closed ahead of the library, as qn closes the
// one libmikmod's SDL driver opened.
void music_sdl_audio_close() { close_audio(); }

// The page hides or shows again: the sound and the clock stop and go on with it.
extern "C" EMSCRIPTEN_KEEPALIVE void web_audio_hold(int hold) {
  if ((hold != 0) == held) return;
  held = hold != 0;
  watch_ms = -1;
  if (!playing) return;
  context_hold(held ? 1 : 0);
  if (wall_clock) {
    wall_ms = emscripten_get_now();
    wall_frames = frames_handed_out;
  } else {
    SDL_PauseAudio(held ? 1 : 0);
  }
}

// What the page's test reads: the callback's turns and the sound handed out.
extern "C" EMSCRIPTEN_KEEPALIVE int web_audio_callbacks() { return static_cast<int>(callbacks); }
extern "C" EMSCRIPTEN_KEEPALIVE double web_audio_frames() {
  return static_cast<double>(frames_handed_out);
}
extern "C" EMSCRIPTEN_KEEPALIVE int web_audio_wall_clock() { return wall_clock ? 1 : 0; }
