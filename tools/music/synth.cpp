// Drum, bass, lead, pad, pluck, riser and stab samples, made from sines and
// seeded noise so every build writes the same bytes.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double PI = 3.14159265358979323846;
constexpr double C4_RATE = 8363.0;  // the rate at which C-4 plays a sample with no relative note
constexpr double DRUM_RATE = 44100.0;

using Wave = std::vector<double>;

double note_frequency(std::uint8_t note) {
  return 440.0 * std::pow(2.0, (note - xm_note(4, 9)) / 12.0);
}

// Seeded white noise in [-1, 1].
struct Noise {
  std::uint32_t state;
  double next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 2147483647.5 - 1.0;
  }
};

// Scales the wave so its largest magnitude is `peak` of full scale.
std::vector<std::int16_t> to_pcm(const Wave& w, double peak) {
  double most = 1e-9;
  for (double v : w) most = std::max(most, std::fabs(v));
  std::vector<std::int16_t> out(w.size());
  for (std::size_t i = 0; i < w.size(); i++)
    out[i] = static_cast<std::int16_t>(std::lround(w[i] / most * peak * 32767.0));
  return out;
}

XmInstrument one_shot(const char* name, const Wave& w, const Tuning& t, std::uint8_t volume,
                      std::uint8_t pan) {
  XmInstrument ins;
  ins.name = name;
  XmSample s;
  s.name = name;
  s.data16 = to_pcm(w, 0.97);
  s.volume = volume;
  s.panning = pan;
  s.relative_note = t.relative_note;
  s.finetune = t.finetune;
  ins.samples.push_back(std::move(s));
  return ins;
}

XmInstrument looped(const char* name, const Wave& w, const Tuning& t, std::uint8_t volume,
                    std::uint8_t pan, XmEnvelope envelope, std::uint16_t fadeout) {
  XmInstrument ins = one_shot(name, w, t, volume, pan);
  XmSample& s = ins.samples[0];
  s.loop = XmLoop::forward;
  s.loop_start = 0;
  s.loop_length = static_cast<std::uint32_t>(w.size());
  ins.volume_envelope = std::move(envelope);
  ins.fadeout = fadeout;
  return ins;
}

// Sum of harmonics of a cycle `period` samples long, `cycles` times over.
Wave harmonics(int period, int cycles, int count, double (*weight)(int)) {
  Wave w(static_cast<std::size_t>(period) * static_cast<std::size_t>(cycles));
  for (std::size_t i = 0; i < w.size(); i++) {
    const double x = 2.0 * PI * static_cast<double>(i) / period;
    double v = 0;
    for (int h = 1; h <= count; h++) v += weight(h) * std::sin(h * x);
    w[i] = v;
  }
  return w;
}

Wave kick(double rate) {
  Wave w(static_cast<std::size_t>(0.45 * rate));
  Noise n{0x1234567u};
  double phase = 0;
  for (std::size_t i = 0; i < w.size(); i++) {
    const double t = static_cast<double>(i) / rate;
    const double f = 45.0 + 120.0 * std::exp(-t / 0.03);
    phase += 2.0 * PI * f / rate;
    const double body = std::sin(phase) * std::exp(-t / 0.17) * std::min(1.0, t / 0.001);
    w[i] = body + 0.25 * n.next() * std::exp(-t / 0.0025);
  }
  return w;
}

Wave snare(double rate) {
  Wave w(static_cast<std::size_t>(0.32 * rate));
  Noise n{0x2468aceu};
  double prev = 0, low = 0;
  for (std::size_t i = 0; i < w.size(); i++) {
    const double t = static_cast<double>(i) / rate;
    const double raw = n.next();
    const double high = raw - prev;  // a rough high-pass
    prev = raw;
    low += 0.5 * (high - low);
    const double tone = 0.55 * std::sin(2.0 * PI * 190.0 * t) * std::exp(-t / 0.045);
    w[i] = tone + 0.8 * low * std::exp(-t / 0.085);
  }
  return w;
}

Wave clap(double rate) {
  Wave w(static_cast<std::size_t>(0.3 * rate));
  Noise n{0x13579bdu};
  double prev = 0, low = 0;
  for (std::size_t i = 0; i < w.size(); i++) {
    const double t = static_cast<double>(i) / rate;
    const double raw = n.next();
    const double high = raw - prev;
    prev = raw;
    low += 0.35 * (high - low);
    double env = std::exp(-t / 0.09) * 0.6;
    for (double burst : {0.0, 0.011, 0.022})
      if (t >= burst) env += std::exp(-(t - burst) / 0.004);
    w[i] = low * env;
  }
  return w;
}

Wave hat(double rate, double seconds, double decay, std::uint32_t seed) {
  Wave w(static_cast<std::size_t>(seconds * rate));
  Noise n{seed};
  double p1 = 0, p2 = 0;
  for (std::size_t i = 0; i < w.size(); i++) {
    const double t = static_cast<double>(i) / rate;
    const double raw = n.next();
    const double h1 = raw - p1;  // two differences: most energy above 8 kHz
    p1 = raw;
    const double h2 = h1 - p2;
    p2 = h1;
    double metal = 0;
    for (double f : {3140.0, 4470.0, 5880.0, 7310.0})
      metal += (std::sin(2.0 * PI * f * t) > 0 ? 0.08 : -0.08);
    w[i] = (h2 + metal) * std::exp(-t / decay);
  }
  return w;
}

Wave crash(double rate) {
  Wave w(static_cast<std::size_t>(2.2 * rate));
  Noise n{0xdeadbeefu};
  double prev = 0;
  for (std::size_t i = 0; i < w.size(); i++) {
    const double t = static_cast<double>(i) / rate;
    const double raw = n.next();
    const double high = raw - prev;
    prev = raw;
    double metal = 0;
    for (double f : {2870.0, 3960.0, 5210.0, 6650.0, 8320.0})
      metal += 0.07 * std::sin(2.0 * PI * f * t + f);
    w[i] = (0.8 * high + metal) * std::exp(-t / 0.55) * std::min(1.0, t / 0.002);
  }
  return w;
}

Wave riser(double rate) {
  const double length = 2.2;
  Wave w(static_cast<std::size_t>(length * rate));
  Noise n{0x600dcafeu};
  double low = 0, phase = 0;
  for (std::size_t i = 0; i < w.size(); i++) {
    const double t = static_cast<double>(i) / rate;
    const double u = t / length;
    const double cutoff = 0.02 + 0.6 * u * u;  // the noise opens up as it rises
    low += cutoff * (n.next() - low);
    phase += 2.0 * PI * (180.0 * std::pow(12.0, u)) / rate;
    const double fade_out = std::min(1.0, (length - t) / 0.04);
    w[i] = (low * 1.6 + 0.35 * std::sin(phase)) * u * u * fade_out;
  }
  return w;
}

// A plucked string: bright at the attack, the upper harmonics dying first.
Wave pluck(int period, double rate) {
  Wave w(static_cast<std::size_t>(0.9 * rate));
  for (std::size_t i = 0; i < w.size(); i++) {
    const double t = static_cast<double>(i) / rate;
    const double x = 2.0 * PI * static_cast<double>(i) / period;
    double v = 0;
    for (int h = 1; h <= 20; h++) v += std::sin(h * x) / h * std::exp(-t * (1.5 + 1.4 * h));
    w[i] = v * std::min(1.0, t / 0.002);
  }
  return w;
}

// Root, fifth and octave of saws: a stab that fits every chord on its root.
Wave stab(int period, double rate) {
  Wave w(static_cast<std::size_t>(0.55 * rate));
  for (std::size_t i = 0; i < w.size(); i++) {
    const double t = static_cast<double>(i) / rate;
    const double x = 2.0 * PI * static_cast<double>(i) / period;
    double v = 0;
    for (double ratio : {1.0, 1.4983, 2.0})
      for (int h = 1; h <= 12; h++) v += std::sin(h * ratio * x) / h;
    w[i] = v * std::exp(-t / 0.14) * std::min(1.0, t / 0.003);
  }
  return w;
}

double bass_weight(int h) { return (h == 1 ? 1.6 : 1.0) / h / (1.0 + (h / 7.0) * (h / 7.0)); }
double lead_weight(int h) { return (h % 2 ? 1.0 : 0.35) / h / (1.0 + h / 10.0); }
double saw_soft(int h) { return 1.0 / h / (1.0 + (h / 5.0) * (h / 5.0)); }

// Three detuned saws and a quiet octave, each a whole number of cycles in
// the loop so it repeats without a click.
Wave pad(int period) {
  const int cycles = 128;
  const std::size_t length = static_cast<std::size_t>(period) * cycles;
  Wave w(length);
  const struct {
    int cycles;
    double gain;
  } voices[] = {{127, 1.0}, {128, 1.0}, {129, 1.0}, {256, 0.35}, {255, 0.3}};
  for (const auto& voice : voices) {
    for (int h = 1; h <= 14; h++) {
      const double a = voice.gain * saw_soft(h);
      const double step = 2.0 * PI * voice.cycles * h / static_cast<double>(length);
      const double offset = voice.cycles * 0.37 * h;
      for (std::size_t i = 0; i < length; i++)
        w[i] += a * std::sin(step * static_cast<double>(i) + offset);
    }
  }
  return w;
}

XmEnvelope envelope(std::initializer_list<XmEnvelopePoint> points, int sustain) {
  XmEnvelope e;
  e.points = points;
  e.sustain = sustain;
  return e;
}
}  // namespace

Tuning tuning_for_period(double period, std::uint8_t note) {
  // The note plays the sample at 8363 * 2^((note - C-4 + relative + fine/128) / 12) Hz.
  const double want = note_frequency(note) * period;
  const double semis = 12.0 * std::log2(want / C4_RATE) - (note - xm_note(4, 0));
  int rel = static_cast<int>(std::floor(semis));
  int fine = static_cast<int>(std::lround((semis - rel) * 128.0));
  if (fine >= 128) {
    rel++;
    fine -= 128;
  }
  const double rate = C4_RATE * std::pow(2.0, (note - xm_note(4, 0) + rel + fine / 128.0) / 12.0);
  return {static_cast<std::int8_t>(rel), static_cast<std::int8_t>(fine), rate};
}

Tuning tuning_for_rate(double rate) {
  // On C-4 the period is irrelevant: pick the one that gives `rate`.
  return tuning_for_period(rate / note_frequency(DRUM_NOTE), DRUM_NOTE);
}

std::vector<XmInstrument> synth_instruments() {
  const Tuning drum = tuning_for_rate(DRUM_RATE);
  const double r = drum.rate;
  const Tuning bass_t = tuning_for_period(256, xm_note(2, 0));
  const Tuning tone_t = tuning_for_period(128, xm_note(4, 0));

  std::vector<XmInstrument> all;
  all.push_back(one_shot("kick", kick(r), drum, 64, 128));
  all.push_back(one_shot("snare", snare(r), drum, 50, 124));
  all.push_back(one_shot("clap", clap(r), drum, 44, 136));
  all.push_back(one_shot("closed hat", hat(r, 0.09, 0.018, 0x0badf00du), drum, 30, 150));
  all.push_back(one_shot("open hat", hat(r, 0.45, 0.13, 0x5eed5eedu), drum, 26, 106));
  all.push_back(one_shot("crash", crash(r), drum, 40, 140));
  all.push_back(looped("bass", harmonics(256, 1, 32, bass_weight), bass_t, 54, 128,
                       envelope({{0, 64}, {6, 56}, {24, 46}}, 2), 2400));
  XmInstrument lead = looped("lead", harmonics(128, 1, 18, lead_weight), tone_t, 36, 120,
                             envelope({{0, 24}, {2, 64}, {14, 46}}, 2), 1300);
  lead.vibrato_type = 0;
  lead.vibrato_sweep = 48;
  lead.vibrato_depth = 3;
  lead.vibrato_rate = 22;
  all.push_back(std::move(lead));
  all.push_back(
      looped("pad", pad(128), tone_t, 26, 128, envelope({{0, 0}, {36, 64}, {90, 54}}, 2), 500));
  all.push_back(one_shot("pluck", pluck(128, tone_t.rate), tone_t, 30, 96));
  all.push_back(one_shot("riser", riser(r), drum, 38, 128));
  all.push_back(one_shot("stab", stab(128, tone_t.rate), tone_t, 34, 128));
  return all;
}
