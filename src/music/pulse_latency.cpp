// The sound server's word on our SDL output: SDL does not say how much sound
// the server holds, so a thread of ours asks the server about our own
// playback stream (found by our process id) and anchors what is heard.
#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "music/music.h"
#include "music/music_internal.h"

namespace {
constexpr std::uint64_t ASK_EVERY_NS = 50'000'000;
// A reading with one of SDL's writes in flight is a buffer off; the median
// of the last few drops it.
constexpr std::size_t READINGS = 5;

std::thread watcher;
std::atomic<bool> stopping{false};
std::atomic<bool> has_word{false};
// The watcher's loop, for a wake-up from the stopping thread.
std::mutex loop_lock;
pa_mainloop* loop_in_use = nullptr;

struct Reply {
  long pid;
  bool found = false;
  pa_usec_t latency = 0;
};

void on_input(pa_context*, const pa_sink_input_info* info, int eol, void* data) {
  auto* reply = static_cast<Reply*>(data);
  if (eol != 0 || info == nullptr || reply->found) return;
  const char* pid = pa_proplist_gets(info->proplist, "application.process.id");
  if (pid == nullptr || std::strtol(pid, nullptr, 10) != reply->pid) return;
  reply->found = true;
  reply->latency = info->buffer_usec + info->sink_usec;
}

bool run_until(pa_mainloop* loop, const auto& done) {
  while (!done() && !stopping.load()) {
    if (pa_mainloop_iterate(loop, 1, nullptr) < 0) return false;
  }
  return done();
}

void sleep_ns(std::uint64_t ns) {
  const timespec ts{static_cast<time_t>(ns / 1000000000u), static_cast<long>(ns % 1000000000u)};
  nanosleep(&ts, nullptr);
}

void watch(unsigned rate) {
  pa_mainloop* loop = pa_mainloop_new();
  if (loop == nullptr) return;
  {
    const std::lock_guard<std::mutex> hold(loop_lock);
    loop_in_use = loop;
  }
  pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "qn clock");
  const auto state_settled = [&] {
    const pa_context_state_t s = pa_context_get_state(context);
    return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
  };
  if (context != nullptr &&
      pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
      run_until(loop, state_settled) && pa_context_get_state(context) == PA_CONTEXT_READY) {
    std::array<std::int64_t, READINGS> bases{};
    std::size_t count = 0;
    std::uint64_t first_ns = 0;
    while (!stopping.load()) {
      Reply reply{static_cast<long>(getpid())};
      const std::uint64_t mixed = heard_mixed_total();
      pa_operation* op = pa_context_get_sink_input_info_list(context, on_input, &reply);
      if (op == nullptr) break;
      const bool ok =
          run_until(loop, [&] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
      pa_operation_unref(op);
      if (!ok) break;
      const std::uint64_t now = music_now_ns();
      // Only a reading with no mixing while it was asked for tells the
      // heard frame: sound mixed meanwhile may or may not be counted.
      if (reply.found && mixed > 0 && heard_mixed_total() == mixed) {
        if (count == 0) first_ns = now;
        const auto elapsed = static_cast<std::int64_t>((now - first_ns) * rate / 1000000000u);
        const std::int64_t heard = static_cast<std::int64_t>(mixed) -
                                   static_cast<std::int64_t>(reply.latency * rate / 1000000u);
        bases[count % READINGS] = heard - elapsed;
        ++count;
        std::array<std::int64_t, READINGS> sorted = bases;
        const std::size_t n = std::min(count, READINGS);
        std::nth_element(sorted.begin(), sorted.begin() + n / 2, sorted.begin() + n);
        heard_anchor(sorted[n / 2] + elapsed, now);
        has_word.store(true);
      }
      sleep_ns(ASK_EVERY_NS);
    }
  }
  has_word.store(false);
  {
    const std::lock_guard<std::mutex> hold(loop_lock);
    loop_in_use = nullptr;
  }
  if (context != nullptr) {
    pa_context_disconnect(context);
    pa_context_unref(context);
  }
  pa_mainloop_free(loop);
}
}  // namespace

void server_latency_start(unsigned rate) {
  if (watcher.joinable()) return;
  stopping.store(false);
  watcher = std::thread(watch, rate);
}

void server_latency_stop() {
  if (!watcher.joinable()) return;
  stopping.store(true);
  {
    const std::lock_guard<std::mutex> hold(loop_lock);
    if (loop_in_use != nullptr) pa_mainloop_wakeup(loop_in_use);
  }
  watcher.join();
}

bool server_latency_running() { return has_word.load(std::memory_order_relaxed); }
