// The composition: a table of sections (one row per order position), the
// chord progressions and melodies they use, and the rules that turn a row of
// the table into a pattern. 128 BPM, four rows a beat, sixteen rows a chord.
#include "song.h"

#include <algorithm>
#include <cmath>

#include "synth.h"

namespace {
// ---- harmony ------------------------------------------------------------------
struct Chord {
  int root;  // pitch class, C = 0
  bool minor;
};
constexpr Chord AM{9, true}, F_{5, false}, C_{0, false}, G_{7, false}, E_{4, false}, DM{2, true},
    EM{4, true};

struct Progression {
  Chord chords[4];  // one per 16 rows
};
constexpr Progression PROG_MAIN{{AM, F_, C_, G_}};
constexpr Progression PROG_TURN{{AM, F_, G_, E_}};
constexpr Progression PROG_SECOND{{F_, G_, AM, AM}};
constexpr Progression PROG_BRIDGE{{DM, EM, F_, G_}};
constexpr Progression PROG_BREAK{{F_, C_, G_, AM}};
constexpr Progression PROG_END{{AM, AM, AM, AM}};

// The pitch class as a note within one octave starting at A of `octave` - 1.
std::uint8_t pitch_from_a(int pc, int octave) {
  return static_cast<std::uint8_t>(xm_note(octave - 1, 9) + (pc + 3) % 12);
}

// ---- melodies ------------------------------------------------------------------
struct Note {
  int row;
  std::uint8_t note;
  int length;  // rows until the key is released
};
constexpr std::uint8_t n(int octave, int semitone) { return xm_note(octave, semitone); }
enum : int { C = 0, Cs, D, Ds, E, F, Fs, G, Gs, A, As, B };

// The theme, over Am F C G.
const std::vector<Note> THEME_A = {
    {0, n(5, E), 3},  {3, n(5, D), 3},  {6, n(5, C), 2},  {8, n(5, D), 2},  {10, n(5, E), 4},
    {14, n(4, A), 2}, {16, n(5, F), 3}, {19, n(5, E), 3}, {22, n(5, C), 2}, {24, n(4, A), 4},
    {28, n(5, C), 4}, {32, n(5, G), 3}, {35, n(5, E), 3}, {38, n(5, C), 2}, {40, n(5, E), 2},
    {42, n(5, G), 4}, {46, n(5, E), 2}, {48, n(5, D), 6}, {54, n(4, B), 2}, {56, n(4, G), 4},
    {60, n(4, B), 2}, {62, n(5, D), 2},
};
// Its answer, over Am F G E.
const std::vector<Note> THEME_B = {
    {0, n(5, A), 4},   {4, n(5, G), 2},  {6, n(5, E), 2},  {8, n(5, C), 4},  {12, n(5, E), 4},
    {16, n(5, F), 4},  {20, n(5, E), 2}, {22, n(5, C), 2}, {24, n(4, A), 6}, {30, n(5, C), 2},
    {32, n(4, B), 3},  {35, n(5, D), 3}, {38, n(5, G), 2}, {40, n(5, F), 4}, {44, n(5, D), 4},
    {48, n(4, Gs), 4}, {52, n(4, B), 4}, {56, n(5, E), 6},
};
// The second groove's hook, over F G Am Am.
const std::vector<Note> THEME_C = {
    {0, n(6, C), 2},  {2, n(5, A), 2},  {4, n(5, F), 2},  {6, n(5, A), 4},  {10, n(6, C), 2},
    {12, n(6, D), 4}, {16, n(5, B), 2}, {18, n(5, G), 2}, {20, n(5, D), 2}, {22, n(5, G), 4},
    {26, n(5, B), 2}, {28, n(6, D), 4}, {32, n(6, C), 4}, {36, n(5, B), 2}, {38, n(5, A), 6},
    {44, n(5, E), 4}, {48, n(5, A), 8}, {56, n(5, G), 4}, {60, n(5, E), 4},
};
// The last word, over the closing chord.
const std::vector<Note> THEME_END = {{0, n(5, A), 12}};

// ---- the sections ----------------------------------------------------------------
enum Style : std::uint8_t {
  INTRO,
  BUILD,
  GROOVE,
  BROKEN,
  BRIDGE,
  CLIMAX,
  BREAKDOWN,
  FINALE,
  OUTRO
};
enum Flags : unsigned {
  ARP = 1,         // plucked arpeggio in eighths
  OPEN = 2,        // open hats on the off-beats
  FILL = 4,        // snare roll over the last 16 rows
  RISE = 8,        // riser over the last 16 rows
  UP = 16,         // the lead an octave up
  STABS = 32,      // stabs answer the off-beats
  CLAPS = 64,      // extra claps at the end of each half
  WHITEOUT = 128,  // everything drops out after row 48, a riser from row 49
  HATS = 256,      // closed hats even without drums
  SOFT_ARP = 512,  // the arpeggio in quarters, quietly
};

struct Section {
  Style style;
  const Progression* progression;
  const std::vector<Note>* lead;
  unsigned flags;
};

const Section SONG[SONG_POSITIONS] = {
    {INTRO, &PROG_MAIN, nullptr, 0},                              // 0  title
    {INTRO, &PROG_MAIN, nullptr, SOFT_ARP},                       // 1
    {BUILD, &PROG_MAIN, nullptr, 0},                              // 2  warped plane
    {BUILD, &PROG_TURN, nullptr, FILL | RISE},                    // 3
    {GROOVE, &PROG_MAIN, nullptr, ARP},                           // 4  tunnels
    {GROOVE, &PROG_TURN, nullptr, ARP | OPEN},                    // 5
    {GROOVE, &PROG_MAIN, &THEME_A, 0},                            // 6
    {GROOVE, &PROG_TURN, &THEME_B, OPEN},                         // 7
    {GROOVE, &PROG_MAIN, &THEME_A, ARP | OPEN},                   // 8
    {GROOVE, &PROG_TURN, &THEME_B, ARP | OPEN | CLAPS},           // 9
    {GROOVE, &PROG_MAIN, nullptr, ARP | STABS},                   // 10
    {GROOVE, &PROG_TURN, &THEME_B, ARP | OPEN | FILL},            // 11
    {BROKEN, &PROG_SECOND, nullptr, ARP},                         // 12 landscape
    {BROKEN, &PROG_SECOND, nullptr, ARP | STABS},                 // 13
    {BROKEN, &PROG_SECOND, &THEME_C, ARP},                        // 14
    {BROKEN, &PROG_SECOND, &THEME_C, ARP | FILL},                 // 15
    {BROKEN, &PROG_SECOND, nullptr, ARP | OPEN},                  // 16 the land rises
    {BROKEN, &PROG_SECOND, nullptr, ARP | OPEN | STABS},          // 17
    {BROKEN, &PROG_SECOND, &THEME_C, ARP | OPEN},                 // 18
    {BROKEN, &PROG_SECOND, &THEME_C, ARP | OPEN | FILL},          // 19
    {BRIDGE, &PROG_BRIDGE, nullptr, ARP},                         // 20 bridge
    {BRIDGE, &PROG_BRIDGE, nullptr, ARP | FILL | RISE},           // 21
    {CLIMAX, &PROG_MAIN, &THEME_A, ARP | OPEN},                   // 22 3D scene
    {CLIMAX, &PROG_TURN, &THEME_B, ARP | OPEN},                   // 23
    {CLIMAX, &PROG_MAIN, &THEME_A, ARP | OPEN | UP},              // 24
    {CLIMAX, &PROG_TURN, &THEME_B, ARP | OPEN | UP | WHITEOUT},   // 25 into the whiteout
    {GROOVE, &PROG_MAIN, &THEME_A, 0},                            // 26 the theme returns
    {GROOVE, &PROG_TURN, &THEME_B, ARP},                          // 27
    {GROOVE, &PROG_MAIN, &THEME_A, ARP | OPEN},                   // 28
    {GROOVE, &PROG_TURN, &THEME_B, ARP | OPEN | CLAPS},           // 29
    {GROOVE, &PROG_MAIN, nullptr, ARP | STABS},                   // 30
    {GROOVE, &PROG_TURN, &THEME_B, ARP | OPEN | UP},              // 31
    {GROOVE, &PROG_MAIN, &THEME_A, ARP | OPEN | UP},              // 32
    {GROOVE, &PROG_TURN, &THEME_B, ARP | OPEN | FILL},            // 33
    {BREAKDOWN, &PROG_BREAK, nullptr, SOFT_ARP},                  // 34 bump images
    {BREAKDOWN, &PROG_BREAK, nullptr, ARP},                       // 35
    {BREAKDOWN, &PROG_BREAK, nullptr, ARP | HATS},                // 36
    {BREAKDOWN, &PROG_BREAK, nullptr, ARP | HATS | FILL | RISE},  // 37
    {FINALE, &PROG_MAIN, &THEME_A, ARP | OPEN | UP},              // 38 closing tunnels
    {FINALE, &PROG_TURN, &THEME_B, ARP | OPEN | UP},              // 39
    {FINALE, &PROG_MAIN, &THEME_A, ARP | OPEN | UP | CLAPS},      // 40
    {FINALE, &PROG_TURN, &THEME_B, ARP | OPEN | UP | FILL},       // 41
    {OUTRO, &PROG_END, &THEME_END, 0},                            // 42 the closing chord
};

// Positions where a new section starts on a crash.
bool section_starts(int position) {
  return position > 0 && SONG[position].style != SONG[position - 1].style;
}

// ---- channels ---------------------------------------------------------------------
enum Channel : int {
  CH_KICK,
  CH_SNARE,
  CH_HAT,
  CH_ACCENT,
  CH_BASS,
  CH_LEAD,
  CH_PAD1,
  CH_PAD2,
  CH_PAD3,
  CH_ARP,
  CH_FX,
  CH_EXTRA
};
static_assert(CH_EXTRA + 1 == SONG_CHANNELS);

// Headroom for twelve channels in the plain mixer, which clips: every volume
// below is scaled by this so the peaks stay clear of full scale.
constexpr double MIX_GAIN = 0.7;

struct Writer {
  const XmModule& module;
  XmPattern& pattern;
  void put(int row, int channel, std::uint8_t note, std::uint8_t instrument, int volume) {
    if (row < 0 || row >= SONG_ROWS) return;
    XmCell& c = xm_cell(module, pattern, row, channel);
    c.note = note;
    c.instrument = instrument;
    c.volume = static_cast<std::uint8_t>(
        0x10 + std::clamp(static_cast<int>(std::lround(volume * MIX_GAIN)), 0, 64));
  }
  void release(int row, int channel) {
    if (row < 0 || row >= SONG_ROWS) return;
    XmCell& c = xm_cell(module, pattern, row, channel);
    if (c.note == 0) c.note = XM_KEY_OFF;
  }
  bool busy(int row, int channel) {
    return row >= 0 && row < SONG_ROWS && xm_cell(module, pattern, row, channel).note != 0;
  }
  void drum(int row, int channel, std::uint8_t instrument, int volume) {
    put(row, channel, DRUM_NOTE, instrument, volume);
  }
};

bool drums_play(const Section& s) {
  return s.style != INTRO && s.style != BREAKDOWN && s.style != OUTRO;
}

// Rows (within one 16-row chord) where the kick falls, by style.
bool kick_on(Style style, int row, int position) {
  const int r = row % 16;
  switch (style) {
    case BUILD:
      return r % 4 == 0;
    case GROOVE:
    case CLIMAX:
    case FINALE:
      return r % 4 == 0;
    case BROKEN:
      return r == 0 || r == 6 || r == 10 || (r == 3 && (row / 16) % 2 == 1);
    case BRIDGE:
      return r == 0 || r == 11;
    default:
      return position == 42 && row == 0;
  }
}

void write_drums(Writer& w, const Section& s, int position) {
  const bool whiteout_drop = (s.flags & WHITEOUT) != 0;
  for (int row = 0; row < SONG_ROWS; row++) {
    if (whiteout_drop && row >= 48) break;
    const int r = row % 16;
    if (kick_on(s.style, row, position)) w.drum(row, CH_KICK, INS_KICK, 64);
    if (!drums_play(s)) continue;

    // Back-beat.
    const bool late_build = s.style == BUILD && position == 3;
    if (s.style == BRIDGE) {
      if (r == 8) w.drum(row, CH_SNARE, INS_SNARE, 56);
    } else if (s.style == BROKEN || late_build) {
      if (r == 4 || r == 12) w.drum(row, CH_SNARE, INS_SNARE, 54);
    } else if (s.style != BUILD) {
      if (r == 4 || r == 12) w.drum(row, CH_SNARE, s.style == GROOVE ? INS_CLAP : INS_SNARE, 56);
      if ((s.flags & CLAPS) && (row % 32 == 30)) w.drum(row, CH_SNARE, INS_CLAP, 40);
    }

    // Hats: eighths in the build, sixteenths with a lilt in the grooves.
    if (s.style == BUILD) {
      if (position == 2 ? r % 4 == 2 : r % 2 == 0)
        w.drum(row, CH_HAT, INS_HAT_CLOSED, r % 4 == 2 ? 44 : 28);
    } else if (s.style == BRIDGE) {
      if (r % 4 == 2) w.drum(row, CH_HAT, INS_HAT_CLOSED, 36);
    } else {
      const int accent = (r % 4 == 2) ? 48 : (r % 2 == 0 ? 34 : 22);
      if (!(s.style == GROOVE && position == 4 && r % 2 == 1))
        w.drum(row, CH_HAT, INS_HAT_CLOSED, accent);
    }
    if ((s.flags & OPEN) && r % 8 == 6 && s.style != BRIDGE)
      w.drum(row, CH_EXTRA, INS_HAT_OPEN, 40);
  }
  if (s.flags & HATS)
    for (int row = 0; row < SONG_ROWS; row += 2)
      w.drum(row, CH_HAT, INS_HAT_CLOSED, row % 4 == 2 ? 40 : 24);

  if (s.flags & FILL) {  // a roll that speeds up and swells
    for (int row = 48; row < SONG_ROWS; row++) {
      if (row < 56 && row % 2 == 1) continue;
      w.drum(row, CH_SNARE, INS_SNARE, 24 + (row - 48) * 2 + (row >= 56 ? 8 : 0));
    }
  }
  if (s.flags & RISE) w.drum(48, CH_FX, INS_RISER, 48);
  if (s.flags & WHITEOUT) w.drum(49, CH_FX, INS_RISER, 60);
  if (section_starts(position)) w.drum(0, CH_EXTRA, INS_CRASH, 52);
}

int chord_root_at(const Section& s, int row) { return s.progression->chords[row / 16].root; }

void write_bass(Writer& w, const Section& s, int position) {
  if (s.style == INTRO || (s.style == BREAKDOWN && !(s.flags & HATS))) return;
  for (int chord = 0; chord < 4; chord++) {
    const int root = s.progression->chords[chord].root;
    const std::uint8_t low = pitch_from_a(root, 2);
    const auto high = static_cast<std::uint8_t>(low + 12);
    const int base = chord * 16;
    auto note = [&](int r, std::uint8_t pitch, int length, int volume) {
      if ((s.flags & WHITEOUT) && base + r >= 48) return;
      w.put(base + r, CH_BASS, pitch, INS_BASS, volume);
      if (!w.busy(base + r + length, CH_BASS)) w.release(base + r + length, CH_BASS);
    };
    switch (s.style) {
      case BUILD:
        for (int r = 0; r < 16; r += 4) note(r, low, position == 2 ? 3 : 2, 56);
        if (position == 3)
          for (int r = 2; r < 16; r += 4) note(r, high, 1, 40);
        break;
      case GROOVE:
        for (int r : {0, 3, 6, 8, 10, 12, 14})
          note(r, (r == 6 || r == 14) ? high : low, 2, r % 4 == 0 ? 60 : 48);
        break;
      case BROKEN:
        for (int r : {0, 3, 6, 10, 12}) note(r, r == 6 ? high : low, r == 0 ? 3 : 2, 56);
        break;
      case BRIDGE:
        note(0, low, 7, 58);
        note(8, low, 4, 50);
        note(12, high, 3, 44);
        break;
      case CLIMAX:
      case FINALE:
        for (int r = 0; r < 16; r += 2) note(r, (r % 4 == 2) ? high : low, 1, r % 4 == 0 ? 62 : 48);
        break;
      case BREAKDOWN:
        note(0, low, 12, 52);
        break;
      case OUTRO:
        if (chord == 0) note(0, low, 8, 60);
        break;
      case INTRO:
        break;
    }
  }
}

void write_pad(Writer& w, const Section& s) {
  const int volume = s.style == INTRO || s.style == BREAKDOWN || s.style == OUTRO ? 48 : 30;
  for (int chord = 0; chord < 4; chord++) {
    const Chord c = s.progression->chords[chord];
    const int row = chord * 16;
    if (s.style == OUTRO && chord > 0) break;
    if ((s.flags & WHITEOUT) && row >= 48) {
      for (int ch = CH_PAD1; ch <= CH_PAD3; ch++) w.release(row, ch);
      break;
    }
    const int pcs[3] = {c.root, c.root + (c.minor ? 3 : 4), c.root + 7};
    for (int i = 0; i < 3; i++)
      w.put(row, CH_PAD1 + i, pitch_from_a(pcs[i] % 12, 4), INS_PAD, volume);
  }
  if (s.style == OUTRO)  // the closing chord is let go so it has died away by the closing row
    for (int ch = CH_PAD1; ch <= CH_PAD3; ch++) w.release(10, ch);
}

void write_arp(Writer& w, const Section& s) {
  if (!(s.flags & (ARP | SOFT_ARP))) return;
  const int step = (s.flags & SOFT_ARP) ? 4 : 2;
  const int volume = (s.flags & SOFT_ARP) ? 26 : 34;
  for (int row = 0; row < SONG_ROWS; row += step) {
    if ((s.flags & WHITEOUT) && row >= 48) break;
    const Chord c = s.progression->chords[row / 16];
    const int tones[4] = {0, 7, 12, (c.minor ? 3 : 4) + 12};
    const int i = (row / step) % 4;
    const auto pitch = static_cast<std::uint8_t>(pitch_from_a(c.root, 5) + tones[i]);
    w.put(row, CH_ARP, pitch, INS_PLUCK, i == 0 ? volume + 6 : volume);
  }
}

void write_lead(Writer& w, const Section& s) {
  if (!s.lead) return;
  const int shift = (s.flags & UP) ? 12 : 0;
  const int volume = s.style == OUTRO ? 40 : 46;
  for (const Note& note : *s.lead) {
    if ((s.flags & WHITEOUT) && note.row >= 48) break;
    w.put(note.row, CH_LEAD, static_cast<std::uint8_t>(note.note + shift), INS_LEAD, volume);
    const int end = note.row + note.length;
    if (end < SONG_ROWS && !w.busy(end, CH_LEAD)) w.release(end, CH_LEAD);
  }
}

// A percussive hit on every row where the pictures flash: crashes on the
// downbeats and the second half, stabs on the chord root in between.
void write_accents(Writer& w, const Section& s, int position) {
  for (const AccentRow& a : song_accent_rows()) {
    if (a.position != position) continue;
    if (a.row == 26 || a.row == 29) {
      const auto root = pitch_from_a(chord_root_at(s, a.row), 4);
      w.put(a.row, CH_ACCENT, root, INS_STAB, 46);
    } else {
      w.drum(a.row, CH_ACCENT, INS_CRASH, a.row <= 1 ? 50 : 44);
    }
  }
}

XmPattern compose_position(const XmModule& module, int position) {
  XmPattern pattern = xm_pattern(module, SONG_ROWS);
  Writer w{module, pattern};
  const Section& s = SONG[position];
  write_drums(w, s, position);
  write_bass(w, s, position);
  write_pad(w, s);
  write_arp(w, s);
  write_lead(w, s);
  if (s.flags & STABS)  // stabs answering the off-beat of every second bar
    for (int row = 10; row < SONG_ROWS; row += 32)
      w.put(row, CH_FX, pitch_from_a(chord_root_at(s, row), 4), INS_STAB, 30);
  write_accents(w, s, position);
  return pattern;
}

bool same_cells(const XmPattern& a, const XmPattern& b) {
  if (a.rows != b.rows || a.cells.size() != b.cells.size()) return false;
  for (std::size_t i = 0; i < a.cells.size(); i++) {
    const XmCell &x = a.cells[i], &y = b.cells[i];
    if (x.note != y.note || x.instrument != y.instrument || x.volume != y.volume ||
        x.effect != y.effect || x.param != y.param)
      return false;
  }
  return true;
}
}  // namespace

XmModule song_compose() {
  XmModule m;
  m.name = "zorv";
  m.channels = SONG_CHANNELS;
  m.speed = SONG_SPEED;
  m.bpm = SONG_BPM;
  m.instruments = synth_instruments();
  for (int position = 0; position < SONG_POSITIONS; position++) {
    XmPattern p = compose_position(m, position);
    // A position that comes out the same as an earlier one plays that pattern again.
    auto same = std::find_if(m.patterns.begin(), m.patterns.end(),
                             [&](const XmPattern& q) { return same_cells(p, q); });
    if (same != m.patterns.end()) {
      m.order.push_back(static_cast<std::uint8_t>(same - m.patterns.begin()));
    } else {
      m.order.push_back(static_cast<std::uint8_t>(m.patterns.size()));
      m.patterns.push_back(std::move(p));
    }
  }
  return m;
}
