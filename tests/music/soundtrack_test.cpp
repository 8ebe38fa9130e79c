// The written soundtrack read back from the file: its shape, an accent on
// every row where the pictures flash, patterns that change from position to
// position, and instruments in tune.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

#include "song.h"
#include "synth.h"

namespace {
struct Read {
  std::vector<std::uint8_t> b;
  unsigned u16(std::size_t at) const { return b.at(at) | (b.at(at + 1) << 8); }
  std::uint32_t u32(std::size_t at) const { return u16(at) | (std::uint32_t{u16(at + 2)} << 16); }
};

struct Song {
  int channels = 0, positions = 0, speed = 0, bpm = 0;
  std::vector<int> order;
  std::vector<std::vector<XmCell>> patterns;  // rows * channels
  std::vector<int> rows;
};

Song read_song(const std::string& path) {
  Read r;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) r.b.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
  }
  Song s;
  if (r.b.size() < 336) return s;
  s.positions = static_cast<int>(r.u16(64));
  s.channels = static_cast<int>(r.u16(68));
  const unsigned patterns = r.u16(70);
  s.speed = static_cast<int>(r.u16(76));
  s.bpm = static_cast<int>(r.u16(78));
  for (int i = 0; i < s.positions; i++) s.order.push_back(r.b[80 + static_cast<std::size_t>(i)]);
  std::size_t at = 60 + r.u32(60);
  for (unsigned p = 0; p < patterns; p++) {
    const unsigned rows = r.u16(at + 5), size = r.u16(at + 7);
    std::size_t q = at + r.u32(at);
    std::vector<XmCell> cells;
    while (cells.size() < static_cast<std::size_t>(rows) * static_cast<std::size_t>(s.channels)) {
      XmCell c;
      const std::uint8_t first = r.b.at(q++);
      if (first & 0x80) {
        if (first & 1) c.note = r.b.at(q++);
        if (first & 2) c.instrument = r.b.at(q++);
        if (first & 4) c.volume = r.b.at(q++);
        if (first & 8) c.effect = r.b.at(q++);
        if (first & 16) c.param = r.b.at(q++);
      } else {
        c = {first, r.b.at(q), r.b.at(q + 1), r.b.at(q + 2), r.b.at(q + 3)};
        q += 4;
      }
      cells.push_back(c);
    }
    EXPECT_EQ(q, at + r.u32(at) + size) << "pattern " << p;
    s.patterns.push_back(cells);
    s.rows.push_back(static_cast<int>(rows));
    at = q;
  }
  return s;
}

const Song& song() {
  static const Song s = read_song(std::string(std::getenv("QN_DATA_DIR")) + "/music.xm");
  return s;
}
}  // namespace

TEST(Soundtrack, ShapeAndTempo) {
  const Song& s = song();
  ASSERT_GE(s.positions, 43);
  EXPECT_GE(s.channels, 8);
  EXPECT_LE(s.channels, 16);
  for (int r : s.rows) EXPECT_EQ(r, 64);
  const double pattern_seconds = 64 * xm_row_seconds(s.speed, s.bpm);
  EXPECT_GE(pattern_seconds, 6.0);
  EXPECT_LE(pattern_seconds, 8.0);
  const double closing = (42 * 64 + 33) * xm_row_seconds(s.speed, s.bpm);
  EXPECT_GE(closing, 4.5 * 60);
  EXPECT_LE(closing, 5.5 * 60);
}

TEST(Soundtrack, PatternsChangeFromPositionToPosition) {
  const Song& s = song();
  std::set<int> distinct(s.order.begin(), s.order.end());
  EXPECT_GE(distinct.size(), 12u);
  for (std::size_t i = 1; i < s.order.size(); i++)
    EXPECT_NE(s.order[i], s.order[i - 1]) << "position " << i;
}

TEST(Soundtrack, EveryFlashRowHasAPercussiveHit) {
  const Song& s = song();
  const auto accents = song_accent_rows();
  ASSERT_GT(accents.size(), 70u);
  for (const AccentRow& a : accents) {
    const auto& cells =
        s.patterns.at(static_cast<std::size_t>(s.order.at(static_cast<std::size_t>(a.position))));
    bool hit = false;
    for (int ch = 0; ch < s.channels; ch++) {
      const XmCell& c = cells[static_cast<std::size_t>(a.row * s.channels + ch)];
      hit |= c.note != 0 && c.note != XM_KEY_OFF && instrument_is_percussive(c.instrument);
    }
    EXPECT_TRUE(hit) << "position " << a.position << " row " << a.row;
  }
}

TEST(Soundtrack, TheClosingChordHasDiedAwayByTheClosingRow) {
  const Song& s = song();
  const auto& cells = s.patterns.at(static_cast<std::size_t>(s.order.at(42)));
  for (int row = 20; row < 64; row++)
    for (int ch = 0; ch < s.channels; ch++) {
      const XmCell& c = cells[static_cast<std::size_t>(row * s.channels + ch)];
      EXPECT_TRUE(c.note == 0 || c.note == XM_KEY_OFF) << "row " << row << " channel " << ch;
    }
}

// The pitch each note sounds at, from the relative note and finetune the
// synthesiser chose: A-4 is 440 Hz within a cent for the tonal instruments.
TEST(Soundtrack, TonalInstrumentsAreInTune) {
  const auto instruments = synth_instruments();
  const struct {
    Instrument ins;
    int period;
  } tonal[] = {{INS_BASS, 256}, {INS_LEAD, 128}, {INS_PAD, 128}, {INS_PLUCK, 128}, {INS_STAB, 128}};
  for (const auto& t : tonal) {
    const XmSample& smp = instruments.at(t.ins - 1).samples.at(0);
    for (std::uint8_t note : {xm_note(1, 9), xm_note(4, 9), xm_note(6, 0)}) {
      const double rate =
          8363.0 *
          std::pow(2.0, (note - xm_note(4, 0) + smp.relative_note + smp.finetune / 128.0) / 12.0);
      const double want = 440.0 * std::pow(2.0, (note - xm_note(4, 9)) / 12.0);
      const double cents = 1200.0 * std::log2(rate / t.period / want);
      EXPECT_LT(std::fabs(cents), 1.0)
          << instruments[t.ins - 1].name << " note " << static_cast<int>(note);
    }
    if (smp.loop != XmLoop::none) {  // a loop of whole cycles repeats without a click
      EXPECT_EQ(smp.loop_length % static_cast<std::uint32_t>(t.period), 0u);
    }
  }
}
