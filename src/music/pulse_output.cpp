// Our sound-server output, for when SDL's audio cannot start: a small
// buffer (never the server's quarter-second default), kept full by a thread
// of its own whose writes wait for room (the alarm handler must not: the
// client library allocates and locks), and the stream's own latency says
// what is being heard.
#include <pulse/simple.h>
#include <time.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "music/music.h"
#include "music/music_internal.h"
#include "music/virtch.h"

namespace {
constexpr unsigned BYTES_PER_FRAME = 4;  // 16-bit stereo
// The server's target length: what is queued ahead of the listener.
constexpr std::uint64_t TARGET_US = 30'000;
constexpr unsigned FRAMES_PER_WRITE = 256;

pa_simple* stream = nullptr;
std::thread writer;
std::atomic<bool> playing{false};
std::atomic<bool> stopping{false};

std::uint32_t bytes_for(std::uint64_t us) {
  return static_cast<std::uint32_t>(us * md_mixfreq / 1000000u) * BYTES_PER_FRAME;
}

pa_simple* open_stream(const char* name) {
  const pa_sample_spec format{PA_SAMPLE_S16NE, md_mixfreq, 2};
  pa_buffer_attr attr;
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = bytes_for(TARGET_US);
  attr.prebuf = static_cast<std::uint32_t>(-1);
  attr.minreq = static_cast<std::uint32_t>(-1);
  attr.fragsize = static_cast<std::uint32_t>(-1);
  return pa_simple_new(nullptr, "qn", PA_STREAM_PLAYBACK, nullptr, name, &format, nullptr, &attr,
                       nullptr);
}

BOOL server_is_present() {
  if (stream != nullptr) return 1;
  pa_simple* probe = open_stream("probe");
  if (probe == nullptr) return 0;
  pa_simple_free(probe);
  return 1;
}

void write_sound() {
  SBYTE buffer[FRAMES_PER_WRITE * BYTES_PER_FRAME];
  const ULONG bytes = sizeof buffer;
  while (!stopping.load()) {
    if (!playing.load()) {
      const timespec pause{0, 5'000'000};
      nanosleep(&pause, nullptr);
      continue;
    }
    MikMod_Lock();
    const ULONG got = VC_WriteBytes(buffer, bytes);
    MikMod_Unlock();
    if (got < bytes) VC_SilenceBytes(buffer + got, bytes - got);
    if (pa_simple_write(stream, buffer, bytes, nullptr) < 0) return;
    heard_mixed(FRAMES_PER_WRITE);
    int error = 0;
    const pa_usec_t latency = pa_simple_get_latency(stream, &error);
    if (error == 0)
      heard_anchor(static_cast<std::int64_t>(heard_mixed_total()) -
                       static_cast<std::int64_t>(latency * md_mixfreq / 1000000u),
                   music_now_ns());
  }
}

int server_init() {
  md_mode |= DMODE_16BITS | DMODE_STEREO | DMODE_SOFT_MUSIC;
  md_mode &= ~DMODE_FLOAT;
  stream = open_stream("music");
  if (stream == nullptr) {
    MikMod_errno = MMERR_OPENING_AUDIO;
    return 1;
  }
  if (VC_Init() != 0) return 1;
  // Started with the alarm blocked (the library's start-up is): the thread
  // keeps it blocked.
  stopping.store(false);
  playing.store(false);
  writer = std::thread(write_sound);
  return 0;
}

void stop_writer() {
  stopping.store(true);
  if (writer.joinable()) writer.join();
}

void server_exit() {
  stop_writer();
  if (stream != nullptr) {
    pa_simple_flush(stream, nullptr);
    pa_simple_free(stream);
  }
  stream = nullptr;
  VC_Exit();
}

int server_reset() {
  server_exit();
  return server_init();
}

int server_play_start() {
  if (VC_PlayStart() != 0) return 1;
  playing.store(true);
  return 0;
}

void server_play_stop() {
  playing.store(false);
  VC_PlayStop();
}

void server_update() {}  // the writer thread mixes

MDRIVER drv_qn_server = mixer_driver(
    {"Sound server", "Sound-server output with a small buffer", "qn-pulse", server_is_present,
     server_init, server_exit, server_reset, server_play_start, server_play_stop, server_update});
}  // namespace

void music_register_server_output() { MikMod_RegisterDriver(&drv_qn_server); }

void music_server_output_close() {
  if (md_driver == &drv_qn_server) stop_writer();
}
