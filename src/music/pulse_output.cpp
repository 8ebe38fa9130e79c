// Our sound-server output, for when SDL's audio cannot start: a small
// buffer (never the server's quarter-second default), topped up from the
// 10 ms alarm to a fixed level so that no write blocks the handler, and the
// stream's own latency says what is being heard.
#include <pulse/simple.h>

#include <algorithm>
#include <cstdint>

#include "music/music.h"
#include "music/music_internal.h"
#include "music/virtch.h"

namespace {
constexpr unsigned BYTES_PER_FRAME = 4;  // 16-bit stereo
// Kept queued: two alarm periods and a half, so a late alarm finds sound
// still playing. The server's target length leaves room over it.
constexpr std::uint64_t QUEUED_US = 25'000;
constexpr std::uint64_t TARGET_US = 50'000;
constexpr unsigned MAX_FRAMES = 4096;

pa_simple* stream = nullptr;
bool failed = false;
SBYTE buffer[MAX_FRAMES * BYTES_PER_FRAME];

std::uint32_t bytes_for(std::uint64_t us) {
  return static_cast<std::uint32_t>(us * md_mixfreq / 1000000u) * BYTES_PER_FRAME;
}

pa_simple* open_stream(const char* name) {
  const pa_sample_spec spec{PA_SAMPLE_S16NE, md_mixfreq, 2};
  pa_buffer_attr attr;
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = bytes_for(TARGET_US);
  attr.prebuf = bytes_for(QUEUED_US / 2);
  attr.minreq = static_cast<std::uint32_t>(-1);
  attr.fragsize = static_cast<std::uint32_t>(-1);
  return pa_simple_new(nullptr, "qn", PA_STREAM_PLAYBACK, nullptr, name, &spec, nullptr, &attr,
                       nullptr);
}

BOOL server_is_present() {
  if (stream != nullptr) return 1;
  pa_simple* probe = open_stream("probe");
  if (probe == nullptr) return 0;
  pa_simple_free(probe);
  return 1;
}

int server_init() {
  md_mode |= DMODE_16BITS | DMODE_STEREO | DMODE_SOFT_MUSIC;
  md_mode &= ~DMODE_FLOAT;
  stream = open_stream("music");
  if (stream == nullptr) {
    MikMod_errno = MMERR_OPENING_AUDIO;
    return 1;
  }
  failed = false;
  return VC_Init();
}

void server_exit() {
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

void server_play_stop() {
  VC_PlayStop();
  if (stream != nullptr) pa_simple_flush(stream, nullptr);
}

// From the alarm handler: the frames queued now are the latency's worth.
void server_update() {
  if (stream == nullptr || failed) return;
  int error = 0;
  const pa_usec_t latency = pa_simple_get_latency(stream, &error);
  if (error != 0) return;
  const std::uint64_t queued = latency * md_mixfreq / 1000000u;
  const std::uint64_t mixed = heard_mixed_total();
  heard_anchor(static_cast<std::int64_t>(mixed) - static_cast<std::int64_t>(queued),
               music_now_ns());
  const std::uint64_t wanted = QUEUED_US * md_mixfreq / 1000000u;
  if (queued >= wanted) return;
  const auto frames = static_cast<unsigned>(std::min<std::uint64_t>(wanted - queued, MAX_FRAMES));
  const ULONG bytes = frames * BYTES_PER_FRAME;
  const ULONG got = VC_WriteBytes(buffer, bytes);
  if (got < bytes) VC_SilenceBytes(buffer + got, bytes - got);
  if (pa_simple_write(stream, buffer, bytes, nullptr) < 0) {
    failed = true;
    return;
  }
  heard_mixed(frames);
}

MDRIVER drv_qn_server = mixer_driver({"Sound server", "Sound-server output with a small buffer",
                                      "qn-pulse", server_is_present, server_init, server_exit,
                                      server_reset, VC_PlayStart, server_play_stop, server_update});
}  // namespace

void music_register_server_output() { MikMod_RegisterDriver(&drv_qn_server); }
