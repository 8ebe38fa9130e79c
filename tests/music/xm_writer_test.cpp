// The writer's files: byte layout, what libmikmod and two other players read
// back from them, and the faults it refuses to write.
#include "xm_writer.h"

#include <gtest/gtest.h>
#include <mikmod.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "test_modules.h"

namespace {
unsigned u16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8);
}
std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return u16(b, at) | (std::uint32_t{u16(b, at + 2)} << 16);
}

std::string save(const XmModule& m, const char* name) {
  const std::string path = test_dir("writer") + "/" + name;
  EXPECT_TRUE(xm_save(m, path.c_str()));
  return path;
}

std::string run(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}
}  // namespace

TEST(XmWriter, HeaderPatternAndSampleBytes) {
  XmModule m = test_module({.positions = 2, .rows = 8, .speed = 3, .bpm = 150});
  m.order = {1, 0, 1};
  m.restart = 1;
  const auto b = xm_encode(m);
  ASSERT_FALSE(b.empty());
  EXPECT_EQ(std::string(b.begin(), b.begin() + 17), "Extended Module: ");
  EXPECT_EQ(b[37], 0x1A);
  EXPECT_EQ(u16(b, 58), 0x0104u);
  EXPECT_EQ(u32(b, 60), 276u);
  EXPECT_EQ(u16(b, 64), 3u);  // positions
  EXPECT_EQ(u16(b, 66), 1u);  // restart
  EXPECT_EQ(u16(b, 68), 4u);  // channels
  EXPECT_EQ(u16(b, 70), 2u);  // patterns
  EXPECT_EQ(u16(b, 72), 2u);  // instruments
  EXPECT_EQ(u16(b, 74), 1u);  // linear frequencies
  EXPECT_EQ(u16(b, 76), 3u);
  EXPECT_EQ(u16(b, 78), 150u);
  EXPECT_EQ(b[80], 1);
  EXPECT_EQ(b[81], 0);
  EXPECT_EQ(b[82], 1);

  // First pattern: header, then row 0 channel 0 packed as note + instrument.
  std::size_t at = 336;
  EXPECT_EQ(u32(b, at), 9u);
  EXPECT_EQ(u16(b, at + 5), 8u);
  const unsigned packed = u16(b, at + 7);
  EXPECT_EQ(b[at + 9], 0x83);
  EXPECT_EQ(b[at + 10], xm_note(4, 0));
  EXPECT_EQ(b[at + 11], 1);
  EXPECT_EQ(b[at + 12], 0x80);  // empty cells are one byte
  at += 9 + packed;
  at += 9 + u16(b, at + 7);

  // First instrument: 263-byte header, one 40-byte sample header, then the
  // delta-coded 16-bit data that sums back to the sine.
  EXPECT_EQ(u32(b, at), 263u);
  EXPECT_EQ(u16(b, at + 27), 1u);
  EXPECT_EQ(u32(b, at + 29), 40u);
  EXPECT_EQ(b[at + 225], 3);           // volume envelope points
  EXPECT_EQ(b[at + 227], 1);           // sustain point
  EXPECT_EQ(b[at + 233], 1 | 2);       // on, sustain
  EXPECT_EQ(u16(b, at + 239), 1024u);  // fadeout
  const std::size_t sample = at + 263;
  EXPECT_EQ(u32(b, sample), 128u);      // bytes
  EXPECT_EQ(u32(b, sample + 8), 128u);  // loop length in bytes
  EXPECT_EQ(b[sample + 14], 0x11);      // 16-bit, forward loop
  EXPECT_EQ(static_cast<std::int8_t>(b[sample + 16]), 12);
  std::uint16_t acc = 0;
  const XmSample& s = m.instruments[0].samples[0];
  for (std::size_t i = 0; i < s.data16.size(); i++) {
    acc = static_cast<std::uint16_t>(acc + u16(b, sample + 40 + 2 * i));
    ASSERT_EQ(static_cast<std::int16_t>(acc), s.data16[i]) << i;
  }
  // The 8-bit instrument follows and the file ends with its data.
  const std::size_t second = sample + 40 + 128;
  EXPECT_EQ(u32(b, second + 263), 64u);
  EXPECT_EQ(b[second + 263 + 14], 0x01);
  EXPECT_EQ(b.size(), second + 263 + 40 + 64);
}

TEST(XmWriter, RefusesWhatCannotBeWritten) {
  XmModule m = test_module({});
  EXPECT_EQ(xm_check(m), "");
  XmModule bad = m;
  bad.order.push_back(9);
  EXPECT_NE(xm_check(bad), "");
  EXPECT_TRUE(xm_encode(bad).empty());
  bad = m;
  bad.instruments[0].samples[0].loop_length = 65;
  EXPECT_NE(xm_check(bad), "");
  bad = m;
  bad.instruments[0].volume_envelope.points.assign(13, {0, 0});
  EXPECT_NE(xm_check(bad), "");
  bad = m;
  bad.instruments[0].volume_envelope.points = {{0, 64}, {0, 32}};
  EXPECT_NE(xm_check(bad), "");
  bad = m;
  bad.patterns[0].cells.pop_back();
  EXPECT_NE(xm_check(bad), "");
  bad = m;
  xm_cell(bad, bad.patterns[0], 0, 0).instrument = 3;
  EXPECT_NE(xm_check(bad), "");
  EXPECT_FALSE(xm_save(bad, "/nonexistent/dir/x.xm"));
}

TEST(XmWriter, LibmikmodReadsWhatWasWritten) {
  XmModule m = test_module({.positions = 5, .rows = 32, .speed = 4, .bpm = 140});
  m.order = {0, 1, 2, 1, 4, 3};
  const std::string path = save(m, "mikmod.xm");
  MikMod_RegisterAllLoaders();
  MikMod_RegisterDriver(&drv_nos);  // loading needs a driver to take the samples
  md_device = static_cast<UWORD>(MikMod_DriverFromAlias("nosound"));
  ASSERT_EQ(MikMod_Init(""), 0) << MikMod_strerror(MikMod_errno);
  MODULE* mod = Player_Load(path.c_str(), 64, 0);
  ASSERT_NE(mod, nullptr) << MikMod_strerror(MikMod_errno);
  EXPECT_EQ(mod->numpos, 6);
  EXPECT_EQ(mod->numpat, 5);
  EXPECT_EQ(mod->numchn, 4);
  EXPECT_EQ(mod->numins, 2);
  EXPECT_EQ(mod->numsmp, 2);
  EXPECT_EQ(mod->initspeed, 4);
  EXPECT_EQ(mod->inittempo, 140);
  for (int i = 0; i < 6; i++) EXPECT_EQ(mod->positions[i], m.order[static_cast<std::size_t>(i)]);
  EXPECT_EQ(mod->samples[0].length, 64u);
  EXPECT_EQ(mod->samples[0].loopend, 64u);
  EXPECT_TRUE(mod->samples[0].inflags & SF_16BITS);
  EXPECT_FALSE(mod->samples[1].inflags & SF_16BITS);
  EXPECT_EQ(mod->instruments[0].volpts, 3);
  EXPECT_EQ(mod->instruments[0].volenv[1].val * 64 / mod->instruments[0].volenv[0].val, 48);
  EXPECT_EQ(mod->instruments[0].volenv[2].pos, 40);
  Player_Free(mod);
  MikMod_Exit();
}

// The other two players agree on the length: rows * speed * 2.5 / BPM.
TEST(XmWriter, OtherPlayersAgreeOnTheLength) {
  XmModule m = test_module({.positions = 10, .rows = 64, .speed = 6, .bpm = 120});
  const std::string path = save(m, "players.xm");
  const double seconds = 10 * 64 * xm_row_seconds(6, 120);  // 80 s
  const std::string mpt = run("timeout 30 openmpt123 --info '" + path + "' 2>&1");
  const auto d = mpt.find("Duration...: ");
  ASSERT_NE(d, std::string::npos) << mpt;
  int mm = 0;
  double ss = 0;
  ASSERT_EQ(std::sscanf(mpt.c_str() + d + 13, "%d:%lf", &mm, &ss), 2);
  EXPECT_NEAR(mm * 60 + ss, seconds, 0.5);
  EXPECT_NE(mpt.find("Orders.....: 10"), std::string::npos);

  const std::string x = run("timeout 30 xmp --load-only --verbose '" + path + "' 2>&1");
  EXPECT_NE(x.find("Module length: 10 patterns"), std::string::npos) << x;
  const auto xd = x.find("Duration     : ");
  ASSERT_NE(xd, std::string::npos) << x;
  int xm = 0, xs = 0;
  ASSERT_EQ(std::sscanf(x.c_str() + xd + 15, "%dmin%ds", &xm, &xs), 2);
  EXPECT_NEAR(xm * 60 + xs, seconds, 1.0);
}
