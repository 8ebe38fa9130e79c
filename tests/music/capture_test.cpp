// The clock step in virtual time through the capture driver: row timing,
// the WAV it writes, and when mixing stops while the clock goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "common/globals.h"
#include "music/music.h"
#include "music/music_internal.h"
#include "test_modules.h"

namespace {
struct Capture {
  std::string wav;
  explicit Capture(const XmModule& m, const char* name) {
    const std::string dir = test_dir(name);
    const std::string xm = dir + "/m.xm";
    wav = dir + "/out.wav";
    EXPECT_TRUE(xm_save(m, xm.c_str()));
    demo_running = 1;
    EXPECT_TRUE(music_capture_open(wav.c_str()));
    EXPECT_EQ(music_load(xm.c_str(), 64), 1);
    EXPECT_TRUE(music_start_virtual());
  }
  ~Capture() { music_stop(); }
};

std::vector<std::uint8_t> read_file(const std::string& path) {
  std::vector<std::uint8_t> b;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) b.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
  }
  return b;
}
std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// Steps until the module reaches (position, row); -1 if it never does.
int steps_until(int position, int row, int limit) {
  for (int step = 0; step < limit; step++) {
    if (music_module->sngpos > position ||
        (music_module->sngpos == position && music_module->patpos >= row))
      return step;
    clock_step();
  }
  return -1;
}
}  // namespace

TEST(Capture, RowsArriveAtSpeedTimesTwoAndAHalfOverBpm) {
  struct Case {
    int speed, bpm, position, row;
  } cases[] = {{6, 125, 1, 5}, {3, 150, 2, 11}, {7, 97, 1, 0}};
  for (const Case& c : cases) {
    const std::int32_t ticks_before = demo_ticks;
    int steps = 0;
    {
      Capture cap(test_module({.positions = 3, .rows = 16, .speed = c.speed, .bpm = c.bpm}),
                  "timing");
      steps = steps_until(c.position, c.row, 100000);
      const double seconds = (c.position * 16 + c.row) * xm_row_seconds(c.speed, c.bpm);
      EXPECT_NEAR(steps, seconds * 100.0, 1.5) << c.speed << "/" << c.bpm;
    }
    EXPECT_EQ(demo_ticks - ticks_before, steps / 2 + ((steps % 2) && tick_phase == 0 ? 1 : 0));
  }
}

TEST(Capture, WritesExactly441FramesPerStep) {
  std::string wav;
  {
    Capture cap(test_module({.positions = 2}), "wav");
    wav = cap.wav;
    for (int i = 0; i < 100; i++) clock_step();
  }
  const auto b = read_file(wav);
  ASSERT_EQ(b.size(), 44u + 100u * 441u * 4u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(le32(b, 4), b.size() - 8);
  EXPECT_EQ(le32(b, 24), 44100u);
  EXPECT_EQ(le32(b, 40), 100u * 441u * 4u);
  double sum = 0;
  for (std::size_t i = 44; i + 1 < b.size(); i += 2) {
    const auto v = static_cast<std::int16_t>(b[i] | (b[i + 1] << 8));
    sum += static_cast<double>(v) * v;
  }
  EXPECT_GT(sum / ((b.size() - 44) / 2), 100.0 * 100.0);  // clearly not silence
}

// With no word from the output, heard is mixed (what keeps qn-capture's
// files as they were); with one, the place is the one the player was at
// when that frame was mixed (ticks timed at the song's own tempo).
TEST(Capture, HeardPlaceIsWhereThePlayerWasAtTheHeardFrame) {
  Capture cap(test_module({.positions = 3, .speed = 3, .bpm = 150}), "heard");
  std::vector<SongPlace> after_step;
  for (int i = 0; i < 300; i++) {
    clock_step();
    after_step.push_back({music_module->sngpos, music_module->patpos});
    const SongPlace heard = music_heard_place();
    ASSERT_EQ(heard.position, after_step.back().position) << i;
    ASSERT_EQ(heard.row, after_step.back().row) << i;
  }
  // Frame 441k - 1 is the last one of step k: the place after that step.
  // An anchor a second ahead is read as it stands, without running on.
  const std::uint64_t later = music_now_ns() + 1000000000u;
  for (int k : {1, 37, 120, 121, 299}) {
    heard_anchor(441 * k - 1, later);
    const SongPlace heard = music_heard_place();
    EXPECT_EQ(heard.position, after_step[k - 1].position) << k;
    EXPECT_EQ(heard.row, after_step[k - 1].row) << k;
  }
}

TEST(Capture, MixingStopsWhenTheDemoEndsButTheClockGoesOn) {
  Capture cap(test_module({.positions = 4}), "stop");
  for (int i = 0; i < 20; i++) clock_step();
  const std::uint32_t calls = music_mix_calls;
  const int row = music_module->patpos;
  const std::int32_t ticks = demo_ticks;
  demo_running = 0;
  for (int i = 0; i < 50; i++) clock_step();
  EXPECT_EQ(music_mix_calls, calls);
  EXPECT_EQ(music_module->patpos, row);
  EXPECT_EQ(demo_ticks - ticks, 25);
  demo_running = 1;
}

TEST(Capture, MixingStopsAtTheEndOfTheSong) {
  Capture cap(test_module({.positions = 1, .rows = 4, .speed = 1, .bpm = 250}), "end");
  for (int i = 0; i < 50; i++) clock_step();  // the song lasts 40 ms
  EXPECT_FALSE(Player_Active());
  const std::uint32_t calls = music_mix_calls;
  const std::int32_t ticks = demo_ticks;
  for (int i = 0; i < 10; i++) clock_step();
  EXPECT_EQ(music_mix_calls, calls);
  EXPECT_EQ(demo_ticks - ticks, 5);
}

TEST(Capture, UnwritableWavIsRefused) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(music_capture_open("/nonexistent/dir/out.wav"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("/nonexistent/dir/out.wav"),
            std::string::npos);
}
