// short_song <music.xm>: a module that runs through the 43 positions the
// timeline waits for in about a second, so a real-time run of the whole demo
// ends quickly. The last pattern is long: a frame slowed by a busy machine
// must not step past the closing row before the song ends. A short tone on
// every position keeps it audible.
#include <cmath>
#include <cstdio>

#include "xm_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: short_song <music.xm>\n");
    return 2;
  }
  XmModule m;
  m.name = "short";
  m.channels = 2;
  m.speed = 1;
  m.bpm = 250;  // 10 ms a row
  XmInstrument tone;
  tone.name = "tone";
  XmSample s;
  for (int i = 0; i < 64; i++)
    s.data16.push_back(
        static_cast<std::int16_t>(std::lround(std::sin(6.283185307 * i / 64) * 16000)));
  s.loop = XmLoop::forward;
  s.loop_length = 64;
  tone.samples.push_back(s);
  m.instruments.push_back(tone);
  for (int p = 0; p < 43; p++) {
    XmPattern pat = xm_pattern(m, p == 42 ? 256 : 2);
    XmCell& c = xm_cell(m, pat, 0, 0);
    c.note = xm_note(4, p % 12);
    c.instrument = 1;
    m.patterns.push_back(pat);
    m.order.push_back(static_cast<std::uint8_t>(p));
  }
  return xm_save(m, argv[1]) ? 0 : 1;
}
