// The real timer with a real output: the clock's pace while the main thread
// is busy, what the mixing costs it, which threads may take the alarm, and
// start/stop cycles that must never hang. Run with a sound server (or SDL's
// disk driver) by the scripts beside this file.
#include <dirent.h>
#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "common/globals.h"
#include "music/music.h"
#include "test_modules.h"

namespace {
double now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// Stands in for drawing: memory traffic for `seconds` of wall time.
void busy(double seconds) {
  static std::vector<std::uint32_t> frame(320 * 240);
  const double end = now() + seconds;
  std::uint32_t v = 0;
  while (now() < end) {
    std::fill(frame.begin(), frame.end(), v++);
    asm volatile("" ::"r"(frame.data()) : "memory");
  }
}

std::string module_path() {
  static std::string path;
  if (path.empty()) {
    path = test_dir("live") + "/m.xm";
    EXPECT_TRUE(
        xm_save(test_module({.positions = 8, .rows = 64, .speed = 6, .bpm = 125}), path.c_str()));
  }
  return path;
}

// Threads other than the main one that would take SIGALRM.
std::vector<std::string> threads_open_to_alarm() {
  std::vector<std::string> open;
  DIR* d = opendir("/proc/self/task");
  if (!d) return open;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] == '.' || std::atoi(e->d_name) == getpid()) continue;
    std::ifstream status(std::string("/proc/self/task/") + e->d_name + "/status");
    std::string line, name;
    while (std::getline(status, line)) {
      if (line.rfind("Name:", 0) == 0) name = line.substr(6);
      if (line.rfind("SigBlk:", 0) == 0) {
        const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
        if (!(mask & (1ull << (SIGALRM - 1)))) open.push_back(name + " " + e->d_name);
      }
    }
  }
  closedir(d);
  return open;
}
}  // namespace

// A busy or loaded machine delivers fewer alarms, never more: the verdicts
// are one tick per two alarms, never ahead of real time, and no mixing once
// told to end. The share of time the mixing takes is printed for
// scripts/bench.sh, not judged here.
TEST(Live, ClockKeepsToTheAlarms) {
  demo_running = 1;
  ASSERT_EQ(music_load(module_path().c_str(), 64), 1);
  const std::string driver = md_driver->Name;
  ASSERT_EQ(music_start(), 1);
  const double start = now();
  const std::int32_t t0 = demo_ticks;
  const std::uint32_t c0 = music_mix_calls;
  busy(5.0);
  const std::int32_t ticks = demo_ticks - t0;
  const std::int32_t calls = static_cast<std::int32_t>(music_mix_calls - c0);
  const double wall = now() - start;
  EXPECT_GT(ticks, 0) << driver;
  EXPECT_LE(ticks, wall / 0.020 + 1) << driver;
  EXPECT_NEAR(2 * ticks, calls, 2) << driver;  // every alarm mixes, every second one ticks

  const std::vector<std::string> open = threads_open_to_alarm();
  EXPECT_TRUE(open.empty()) << open.front();

  const double share = static_cast<double>(music_mix_nanoseconds) * 1e-9 / wall;
  std::printf("driver %s: mixing took %.2f%% of %.1f s in %u calls\n", driver.c_str(), share * 100,
              wall, static_cast<unsigned>(music_mix_calls));
  RecordProperty("mix_share_percent", std::to_string(share * 100));

  // Told to end: no more mixing, the clock goes on.
  demo_running = 0;
  const std::uint32_t stopped_calls = music_mix_calls;
  const std::int32_t t1 = demo_ticks;
  const double t1_wall = now();
  busy(0.5);
  EXPECT_EQ(music_mix_calls, stopped_calls);
  EXPECT_GT(demo_ticks - t1, 0);
  EXPECT_LE(demo_ticks - t1, (now() - t1_wall) / 0.020 + 1);
  music_stop();
  demo_running = 1;
}

// Start and stop over and over, with a short busy spell between: the shut-
// down order must never deadlock with the output's own thread. The ctest
// timeout is the watchdog.
TEST(Live, TwoHundredStartStopCyclesNeverHang) {
  for (int i = 0; i < 200; i++) {
    demo_running = 1;
    ASSERT_EQ(music_load(module_path().c_str(), 64), 1) << i;
    ASSERT_EQ(music_start(), 1) << i;
    busy(0.01 + (i % 7) * 0.004);
    music_stop();
  }
}
