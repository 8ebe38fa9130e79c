// Short modules made with the writer for the music tests: a known number of
// positions and rows at a known speed and BPM, a tone that is clearly audible.
#pragma once
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../support/scratch.h"
#include "xm_writer.h"

struct TestModuleShape {
  int positions = 3;
  int rows = 16;
  int speed = 6;
  int bpm = 125;
};

inline XmInstrument test_tone(bool sixteen_bit) {
  XmInstrument ins;
  ins.name = sixteen_bit ? "tone16" : "tone8";
  XmSample s;
  s.sixteen_bit = sixteen_bit;
  for (int i = 0; i < 64; i++) {  // one cycle of a sine, looped
    const double v = std::sin(2.0 * 3.14159265358979 * i / 64.0);
    if (sixteen_bit)
      s.data16.push_back(static_cast<std::int16_t>(std::lround(v * 20000)));
    else
      s.data8.push_back(static_cast<std::int8_t>(std::lround(v * 100)));
  }
  s.loop = XmLoop::forward;
  s.loop_length = 64;
  s.relative_note = 12;
  ins.samples.push_back(s);
  ins.volume_envelope.points = {{0, 64}, {10, 48}, {40, 32}};
  ins.volume_envelope.sustain = 1;
  ins.fadeout = 1024;
  return ins;
}

// Each position its own pattern; a note on every fourth row of channel 0.
inline XmModule test_module(const TestModuleShape& shape) {
  XmModule m;
  m.name = "test";
  m.channels = 4;
  m.speed = shape.speed;
  m.bpm = shape.bpm;
  m.instruments = {test_tone(true), test_tone(false)};
  for (int p = 0; p < shape.positions; p++) {
    XmPattern pat = xm_pattern(m, shape.rows);
    for (int r = 0; r < shape.rows; r += 4) {
      XmCell& c = xm_cell(m, pat, r, p % 2);
      c.note = xm_note(4, (p * 3 + r) % 12);
      c.instrument = static_cast<std::uint8_t>(1 + (r / 4) % 2);
    }
    m.patterns.push_back(pat);
    m.order.push_back(static_cast<std::uint8_t>(p));
  }
  return m;
}

// A folder of its own under the temporary directory, removed when the
// program ends.
inline std::string test_dir(const char* name) {
  static std::vector<std::unique_ptr<ScratchDir>> dirs;
  dirs.push_back(std::make_unique<ScratchDir>(("qn-music-" + std::string(name) + "-").c_str()));
  return dirs.back()->path;
}
