// The console back end's mode search, on fake cards.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/globals.h"
#include "display/display.h"
#include "display/display_vga.h"
#include "display/vga/vga.h"

namespace {
const char* const kNoMode =
    "Initiating svgalib startup sequence...\n"
    " -> Unable to set 320x240 in 32, 24, 16 or 15 bpp linear mode\n"
    "    Check your libvga.conf or download the latest svgalib\n"
    "    If nothing of that works; Buy a new and better gfx card! :)\n";
const char* const kMisordered =
    "Initiating svgalib startup sequence...\n"
    " -> WARNING: You gfx card maps RGB wrong! Buy a new one\n";

struct Opened {
  bool ok;
  std::string out;
};

class ModeSearch : public ::testing::Test {
 protected:
  std::vector<unsigned char> memory = std::vector<unsigned char>(640 * 480 * 4, 0xAA);

  Opened open_on(const char* modes, int width = 320, int height = 240, int depth = 32) {
    vga_fake_card(modes, memory.data());
    testing::internal::CaptureStdout();
    DisplayState* s = display_open(width, height, depth, 0);
    return {s != nullptr, testing::internal::GetCapturedStdout()};
  }
  // The bytes the first pixel of a presented frame becomes.
  std::vector<unsigned char> first_pixel_of(std::uint32_t colour, int bytes) {
    std::vector<std::uint32_t> frame(76800, colour);
    EXPECT_TRUE(vga_choose_converter());
    display_present(frame.data());
    return {memory.begin(), memory.begin() + bytes};
  }
  void TearDown() override {
    if (vga_fake_current_mode() != TEXT) display_close();
  }
};

TEST_F(ModeSearch, TakesTheDeepestLinearModeAndConvertsForIt) {
  Opened o = open_on("52:linear 53:linear");
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.out, "Initiating svgalib startup sequence...\n");
  EXPECT_EQ(vga_fake_current_mode(), G320x240x16M);
  // 24 bits: blue, green, red; red in the third byte.
  EXPECT_EQ(first_pixel_of(0x00123456, 3), (std::vector<unsigned char>{0x56, 0x34, 0x12}));
}

TEST_F(ModeSearch, StartsFromTheRequestedDepth) {
  ASSERT_TRUE(open_on("54:linear 52:linear", 320, 240, 16).ok);
  EXPECT_EQ(vga_fake_current_mode(), G320x240x64K);
  EXPECT_EQ(first_pixel_of(0x00123456, 2), (std::vector<unsigned char>{0xAA, 0x11}));
}

TEST_F(ModeSearch, NeverSetsMisorderedOrInterlacedModes) {
  Opened o = open_on("54:linear,misordered 53:linear,interlaced 52:capable,interlaced");
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.out, kMisordered);
  EXPECT_EQ(vga_fake_setmode_count(), 0);

  o = open_on("54:linear,interlaced 51:interlaced");
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.out, kNoMode);
  EXPECT_EQ(vga_fake_setmode_count(), 0);
}

TEST_F(ModeSearch, NeedsLinearAccessOrTheCapability) {
  Opened o = open_on("54: 53:");
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.out, kNoMode);
}

TEST_F(ModeSearch, SwitchesCapableModesToLinearAndMovesOnWhenThatFails) {
  ASSERT_TRUE(open_on("54:capable").ok);
  EXPECT_EQ(vga_fake_current_mode(), G320x240x16M32);
  EXPECT_EQ(first_pixel_of(0xFF123456, 4), (std::vector<unsigned char>{0x56, 0x34, 0x12, 0xFF}));
  display_close();

  ASSERT_TRUE(open_on("54:capable,nolinear 53:linear").ok);
  EXPECT_EQ(vga_fake_setmode_count(), 2);
  EXPECT_EQ(vga_fake_current_mode(), G320x240x16M);
}

TEST_F(ModeSearch, SkipsModesTheCardLacksOrCannotSet) {
  ASSERT_TRUE(open_on("54:linear,absent 53:linear,noset 51:linear").ok);
  EXPECT_EQ(vga_fake_current_mode(), G320x240x32K);
  EXPECT_EQ(first_pixel_of(0x00123456, 2), (std::vector<unsigned char>{0xCA, 0x08}));
}

TEST_F(ModeSearch, AFailedSearchLeavesTheConsoleInTextMode) {
  Opened o = open_on("54:capable,nolinear");
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(vga_fake_setmode_count(), 1);
  EXPECT_EQ(vga_fake_current_mode(), TEXT);
}

TEST_F(ModeSearch, AcceptsOnlyTheTwoSizes) {
  Opened o = open_on("54:linear", 320, 200);
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.out, "Initiating svgalib startup sequence...\n -> 320x200 is a invalid videomode\n");
  o = open_on("34:linear", 640, 480);
  EXPECT_TRUE(o.ok);
  EXPECT_EQ(vga_fake_current_mode(), G640x480x16M32);
}

TEST_F(ModeSearch, ClearBlanksTheVisiblePictureOnly) {
  ASSERT_TRUE(open_on("53:linear").ok);
  std::memset(memory.data(), 0x77, memory.size());
  display_clear();
  EXPECT_EQ(std::count(memory.begin(), memory.begin() + 230400, 0), 230400);
  EXPECT_EQ(memory[230400], 0x77);
}

TEST_F(ModeSearch, NoKeyWithoutATerminalLeavesTheDemoRunning) {
  ASSERT_TRUE(open_on("54:linear").ok);
  demo_running = 1;
  display_poll_quit();
  EXPECT_EQ(demo_running, 1);
}

TEST_F(ModeSearch, CloseReturnsToText) {
  ASSERT_TRUE(open_on("54:linear").ok);
  display_close();
  EXPECT_EQ(vga_fake_current_mode(), TEXT);
}
}  // namespace

namespace {
// A screen larger than the mode: the shadow picture reaches it scaled by the
// largest whole factor and centred at every presentation and clear, with no
// key poll needed (the loading picture stays up through a long pause).
TEST(ScaledScreen, PresentAndClearShowAtOnceScaledAndCentred) {
  const int w = 700, h = 500;  // scale 2, 30 columns and 10 rows of border
  std::vector<unsigned char> screen(static_cast<std::size_t>(w) * h * 4, 0x55);
  vga_fake_card("54:linear", screen.data());
  vga_fake_screen(w, h);
  testing::internal::CaptureStdout();
  ASSERT_NE(display_open(320, 240, 32, 0), nullptr);
  testing::internal::GetCapturedStdout();
  ASSERT_TRUE(vga_choose_converter());
  std::vector<std::uint32_t> frame(76800, 0x00000000);
  frame[0] = 0x00112233;
  frame[76799] = 0x00445566;
  display_present(frame.data());
  auto at = [&](int x, int y) {
    std::uint32_t v;
    std::memcpy(&v, screen.data() + (static_cast<std::size_t>(y) * w + x) * 4, 4);
    return v;
  };
  for (int dy = 0; dy < 2; dy++)
    for (int dx = 0; dx < 2; dx++) {
      EXPECT_EQ(at(30 + dx, 10 + dy), 0x00112233u);
      EXPECT_EQ(at(30 + 638 + dx, 10 + 478 + dy), 0x00445566u);
    }
  EXPECT_EQ(at(32, 10), 0u);
  EXPECT_EQ(at(29, 10), 0u) << "the border is cleared when the mode is set";
  EXPECT_EQ(at(30 + 640, 10 + 480), 0u);
  display_clear();
  EXPECT_EQ(at(30, 10), 0u);
  EXPECT_EQ(at(30 + 639, 10 + 479), 0u);
  display_close();
}
}  // namespace
