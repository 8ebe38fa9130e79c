// PNG frames decoded by libpng's reader, at 1x and enlarged, and the command line.
#include <gtest/gtest.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "control/capture.h"
#include "control/capture_scale.h"
#include "data/png/png_write.h"

namespace {
// The file's pixels as 0x00RRGGBB; empty when it does not decode.
std::vector<std::uint32_t> png_read(const std::string& path, int* width, int* height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  std::vector<std::uint32_t> pixels(rgb.size() / 3);
  for (std::size_t i = 0; i < pixels.size(); i++)
    pixels[i] = rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
  return pixels;
}
}  // namespace

TEST(Png, DecodesToTheSamePixelsAndEnlargesByWholeBlocks) {
  // Not a multiple of anything, with marks in bits 24-31 that must not show.
  const int w = 37, h = 23;
  std::vector<std::uint32_t> pixels(w * h);
  std::uint32_t seed = 7;
  for (auto& p : pixels) p = seed = seed * 1664525u + 1013904223u;
  const std::string path = testing::TempDir() + "/png_test.png";
  for (int n : {1, 4, CAPTURE_MAX_SCALE}) {
    std::vector<std::uint32_t> big(pixels.size() * n * n);
    capture_scale(pixels, w, h, n, big);
    ASSERT_TRUE(png_write(path.c_str(), big, w * n, h * n));
    int got_w = 0, got_h = 0;
    const std::vector<std::uint32_t> back = png_read(path, &got_w, &got_h);
    ASSERT_EQ(got_w, w * n);
    ASSERT_EQ(got_h, h * n);
    for (int y = 0; y < h * n; y++)
      for (int x = 0; x < w * n; x++)
        ASSERT_EQ(back[y * w * n + x], pixels[y / n * w + x / n] & 0xFFFFFFu) << n << x << y;
  }
  std::remove(path.c_str());

  // A file that cannot be made: false with the system's reason.
  errno = 0;
  EXPECT_FALSE(png_write("/nonexistent/x.png", pixels, w, h));
  EXPECT_EQ(errno, ENOENT);
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
  for (const char* bad : {"0", "9", "2x"}) {
    o = {};
    EXPECT_EQ(parse({"--scale", bad}, &o, &error), CaptureParse::error) << bad;
  }
  o = {};
  EXPECT_EQ(parse({"--video-lossless"}, &o, &error), CaptureParse::error);
  o = {};
  ASSERT_EQ(parse({"--scale", "8", "--video", "v.mp4", "--video-lossless"}, &o, &error),
            CaptureParse::run);
  EXPECT_EQ(o.scale, 8);
  EXPECT_TRUE(o.video_lossless);
}
