// The PNG writer against an independent decoder, and the command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control/capture.h"
#include "control/capture_png.h"

TEST(Png, DecodesToTheSamePixels) {
  // Larger than one stored block, with marks in bits 24-31 that must not show.
  const int w = 320, h = 240;
  std::vector<std::uint32_t> pixels(w * h);
  std::uint32_t seed = 7;
  for (auto& p : pixels) p = seed = seed * 1664525u + 1013904223u;
  const std::string path = testing::TempDir() + "/png_test.png";
  ASSERT_TRUE(png_write(path.c_str(), pixels.data(), w, h));

  std::FILE* in =
      popen(("/usr/bin/convert '" + path + "' -depth 8 rgb:- 2>/dev/null").c_str(), "r");
  ASSERT_NE(in, nullptr);
  std::vector<unsigned char> rgb(w * h * 3 + 1);
  const std::size_t got = std::fread(rgb.data(), 1, rgb.size(), in);
  const int status = pclose(in);
  if (status != 0 && got == 0) GTEST_SKIP() << "no ImageMagick convert";
  ASSERT_EQ(got, static_cast<std::size_t>(w * h * 3));
  for (int i = 0; i < w * h; i++) {
    const std::uint32_t back = (rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2];
    ASSERT_EQ(back, pixels[i] & 0xFFFFFFu) << i;
  }
  std::remove(path.c_str());
}

TEST(Png, CrcMatchesTheKnownCheckValue) {
  const std::string s = "123456789";
  EXPECT_EQ(png_crc32({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}), 0xCBF43926u);
}

namespace {
CaptureParse parse(std::vector<std::string> args, CaptureOptions* o, std::string* error) {
  std::vector<char*> argv{const_cast<char*>("qn-capture")};
  for (auto& a : args) argv.push_back(a.data());
  return capture_parse_options(static_cast<int>(argv.size()), argv.data(), o, error);
}
}  // namespace

TEST(CaptureOptions, TimeRangesBecomeFrameNumbers) {
  CaptureOptions o;
  std::string error;
  ASSERT_EQ(parse({"--png-from", "1.5", "--png-to", "2.01", "-o", "x"}, &o, &error),
            CaptureParse::run);
  EXPECT_EQ(o.png_first, 75);  // frame 75 is at 1.50 s
  EXPECT_EQ(o.png_last, 100);  // frame 101 would be 2.02 s, after the range
  EXPECT_EQ(o.png_every, 1);   // a range alone means every frame in it
  EXPECT_EQ(capture_path(o, "a.wav"), "x/a.wav");
  EXPECT_EQ(capture_path(o, "/tmp/a.wav"), "/tmp/a.wav");

  o = {};
  ASSERT_EQ(parse({"--from", "2", "--to", "30.001"}, &o, &error), CaptureParse::run);
  EXPECT_EQ(o.clip_first, 100);
  EXPECT_EQ(o.clip_end, 1501);  // the frame at 30.00 s still begins inside the clip

  o = {};
  EXPECT_EQ(parse({"--png-from", "3", "--png-to", "2"}, &o, &error), CaptureParse::error);
  o = {};
  EXPECT_EQ(parse({"--from", "3", "--to", "3"}, &o, &error), CaptureParse::error);
  o = {};
  EXPECT_EQ(parse({"--png-from", "nan"}, &o, &error), CaptureParse::error);
  o = {};
  EXPECT_EQ(parse({"--no-wav", "--video", "v.mp4"}, &o, &error), CaptureParse::error);
  o = {};
  EXPECT_EQ(parse({"--log"}, &o, &error), CaptureParse::error);
  EXPECT_EQ(error, "option '--log' needs a value");
  o = {};
  ASSERT_EQ(parse({"--no-wav"}, &o, &error), CaptureParse::run);
  EXPECT_EQ(o.wav, "");
}
