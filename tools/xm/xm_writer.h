// Writer of extended modules (format version 0x0104): patterns, instruments
// with envelopes, 8- and 16-bit delta-coded samples, order list, speed, BPM.
// Fill the records, then xm_encode or xm_save.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::uint8_t XM_KEY_OFF = 97;
inline constexpr int XM_MAX_CHANNELS = 32;
inline constexpr int XM_MAX_ENVELOPE_POINTS = 12;

// Note value of a pitch: C-0 is 1, C-4 is 49, A-4 is 58.
constexpr std::uint8_t xm_note(int octave, int semitone) {
  return static_cast<std::uint8_t>(1 + octave * 12 + semitone);
}

struct XmCell {
  std::uint8_t note = 0;        // 0 none, 1..96, XM_KEY_OFF
  std::uint8_t instrument = 0;  // 0 none, else 1-based
  std::uint8_t volume = 0;      // volume column: 0 none, 0x10..0x50 set volume 0..64
  std::uint8_t effect = 0;
  std::uint8_t param = 0;
};

struct XmPattern {
  int rows = 64;
  std::vector<XmCell> cells;  // rows * channels, row by row
};

struct XmEnvelopePoint {
  std::uint16_t tick;
  std::uint16_t value;  // 0..64
};

struct XmEnvelope {
  std::vector<XmEnvelopePoint> points;  // on when not empty
  int sustain = -1;                     // point index, or -1
  int loop_start = -1;
  int loop_end = -1;
};

enum class XmLoop : std::uint8_t { none = 0, forward = 1, ping_pong = 2 };

struct XmSample {
  std::string name;
  bool sixteen_bit = true;
  std::vector<std::int16_t> data16;
  std::vector<std::int8_t> data8;
  XmLoop loop = XmLoop::none;
  std::uint32_t loop_start = 0;   // in sample frames
  std::uint32_t loop_length = 0;  // in sample frames
  std::uint8_t volume = 64;
  std::int8_t finetune = 0;  // 1/128 semitone
  std::uint8_t panning = 128;
  std::int8_t relative_note = 0;
};

struct XmInstrument {
  std::string name;
  std::vector<XmSample> samples;               // up to 16
  std::array<std::uint8_t, 96> note_sample{};  // sample index for each note
  XmEnvelope volume_envelope;
  XmEnvelope panning_envelope;
  std::uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
  std::uint16_t fadeout = 0;
};

struct XmModule {
  std::string name;
  std::string tracker = "qn xm writer";
  int channels = 8;
  int speed = 6;  // ticks per row
  int bpm = 125;
  int restart = 0;
  bool linear_frequencies = true;
  std::vector<std::uint8_t> order;
  std::vector<XmPattern> patterns;
  std::vector<XmInstrument> instruments;
};

// A pattern of empty cells.
XmPattern xm_pattern(const XmModule& module, int rows);
// The cell at row and channel (both from 0).
XmCell& xm_cell(const XmModule& module, XmPattern& pattern, int row, int channel);

// Empty when the module can be written, else what is wrong with it.
std::string xm_check(const XmModule& module);
// The file's bytes; empty when xm_check finds a fault.
std::vector<std::uint8_t> xm_encode(const XmModule& module);
// Writes the file; false after printing the reason on standard error.
bool xm_save(const XmModule& module, const char* path);

// Seconds one row lasts: speed * 2.5 / BPM.
inline double xm_row_seconds(int speed, int bpm) { return speed * 2.5 / bpm; }
