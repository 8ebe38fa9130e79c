// The song position as heard: every player tick is stamped with the frame it
// starts at, and the output tells which frame is reaching the listener. The
// writers are the mixing contexts (an audio thread or the alarm handler), the
// reader is the main loop: everything shared is a lock-free atomic.
#include <time.h>

#include <atomic>
#include <cstdint>

#include "music/music.h"
#include "music/music_internal.h"

namespace {
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

// A stamp packs the tick's first frame (40 bits: days of sound), the song
// position and the row (12 bits each) so that one load reads it whole.
constexpr int STAMPS = 512;  // about 10 s of ticks; the output lags by less than 1 s
constexpr std::uint64_t FRAME_MASK = (std::uint64_t{1} << 40) - 1;
std::atomic<std::uint64_t> stamps[STAMPS];
std::atomic<std::uint32_t> stamp_count{0};

// Only the mixing context touches these.
MikMod_player_t library_tick = nullptr;
std::uint64_t next_tick_frame = 0;

std::atomic<std::uint64_t> mixed_total{0};
std::atomic<std::uint32_t> mix_rate{44100};
// The latest word on what is heard: frame `anchor_frame` at `anchor_ns`,
// valid while `anchor_seq` is even (a writer makes it odd meanwhile).
std::atomic<std::uint32_t> anchor_seq{0};
std::atomic<std::int64_t> anchor_frame{0};
std::atomic<std::uint64_t> anchor_ns{0};
std::atomic<bool> anchored{false};
std::int64_t last_heard = 0;  // the reader's: what is heard never goes back

std::uint64_t pack(std::uint64_t frame, std::int32_t position, std::int32_t row) {
  return (frame & FRAME_MASK) | (static_cast<std::uint64_t>(position & 0xFFF) << 40) |
         (static_cast<std::uint64_t>(row & 0xFFF) << 52);
}
SongPlace place_of(std::uint64_t stamp) {
  return {static_cast<std::int32_t>((stamp >> 40) & 0xFFF),
          static_cast<std::int32_t>((stamp >> 52) & 0xFFF)};
}

// The tempo the mixer times ticks by: the library's own copy is not
// exported, so it is followed here by the library's rule (the song's tempo
// and its relative change, 32..255 unless the song allows more).
long tick_bpm() {
  long bpm = music_module->bpm + music_module->relspd;
  if (bpm < 32) bpm = 32;
  if ((music_module->flags & UF_HIGHBPM) == 0 && bpm > 255) bpm = 255;
  return bpm;
}

// The mixer calls the player at the start of every tick, then mixes the
// tick's length at the tempo the player has just set.
void stamped_tick() {
  library_tick();
  const std::uint32_t n = stamp_count.load(std::memory_order_relaxed);
  stamps[n % STAMPS].store(pack(next_tick_frame, music_module->sngpos, music_module->patpos),
                           std::memory_order_relaxed);
  stamp_count.store(n + 1, std::memory_order_release);
  next_tick_frame += static_cast<std::uint64_t>((md_mixfreq * 125L) / (tick_bpm() * 50L));
}

// The frame being heard `ahead_ns` from now, or -1 while no output has said.
std::int64_t heard_frame(std::uint64_t ahead_ns) {
  if (!anchored.load(std::memory_order_acquire)) return -1;
  std::int64_t frame;
  std::uint64_t at;
  for (;;) {
    const std::uint32_t seq = anchor_seq.load(std::memory_order_acquire);
    frame = anchor_frame.load(std::memory_order_relaxed);
    at = anchor_ns.load(std::memory_order_relaxed);
    if ((seq & 1u) == 0 && anchor_seq.load(std::memory_order_acquire) == seq) break;
  }
  const std::uint64_t now = music_now_ns() + ahead_ns;
  if (now > at)
    frame += static_cast<std::int64_t>((now - at) * mix_rate.load(std::memory_order_relaxed) /
                                       1000000000u);
  const auto mixed = static_cast<std::int64_t>(mixed_total.load(std::memory_order_relaxed));
  if (frame > mixed) frame = mixed;
  if (frame < last_heard) frame = last_heard;
  last_heard = frame;
  return frame;
}
}  // namespace

std::uint64_t music_now_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);  // async-signal-safe
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000000000u +
         static_cast<std::uint64_t>(ts.tv_nsec);
}

void heard_reset() {
  if (!library_tick) library_tick = MikMod_RegisterPlayer(stamped_tick);
  next_tick_frame = 0;
  stamp_count.store(0, std::memory_order_relaxed);
  mixed_total.store(0, std::memory_order_relaxed);
  mix_rate.store(md_mixfreq, std::memory_order_relaxed);
  anchored.store(false, std::memory_order_release);
  last_heard = 0;
}

void heard_mixed(std::uint64_t frames) { mixed_total.fetch_add(frames, std::memory_order_release); }

std::uint64_t heard_mixed_total() { return mixed_total.load(std::memory_order_acquire); }

void heard_anchor(std::int64_t frame, std::uint64_t at_ns) {
  anchor_seq.fetch_add(1, std::memory_order_acq_rel);
  anchor_frame.store(frame, std::memory_order_relaxed);
  anchor_ns.store(at_ns, std::memory_order_relaxed);
  anchor_seq.fetch_add(1, std::memory_order_release);
  anchored.store(true, std::memory_order_release);
}

bool heard_anchored() { return anchored.load(std::memory_order_acquire); }

SongPlace music_heard_place(std::uint64_t ahead_ns) {
  const std::int64_t heard = heard_frame(ahead_ns);
  const std::uint32_t count = stamp_count.load(std::memory_order_acquire);
  // No output latency known (a capture, a device that says nothing): heard
  // and mixed are one.
  if (heard < 0 || count == 0)
    return {*static_cast<const volatile SWORD*>(&music_module->sngpos),
            *static_cast<const volatile UWORD*>(&music_module->patpos)};
  // The newest tick that starts at or before the heard frame.
  const std::uint32_t oldest = count > STAMPS ? count - STAMPS : 0;
  for (std::uint32_t i = count; i > oldest; --i) {
    const std::uint64_t stamp = stamps[(i - 1) % STAMPS].load(std::memory_order_relaxed);
    if (static_cast<std::int64_t>(stamp & FRAME_MASK) <= heard) return place_of(stamp);
  }
  // Nothing of the song heard yet: where the player starts.
  return oldest == 0 ? SongPlace{0, 0} : place_of(stamps[oldest % STAMPS].load());
}
