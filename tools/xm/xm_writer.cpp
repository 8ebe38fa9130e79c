// Extended module writer: header, packed patterns, instruments and their
// delta-coded samples, all little-endian and field by field.
#include "xm_writer.h"

#include <cstdio>

namespace {
constexpr std::uint32_t HEADER_SIZE = 276;      // from the size field to the end of the order table
constexpr std::uint32_t INSTRUMENT_SIZE = 263;  // as FastTracker 2 writes it
constexpr std::uint32_t INSTRUMENT_SIZE_EMPTY = 29;
constexpr std::uint32_t SAMPLE_HEADER_SIZE = 40;

struct Out {
  std::vector<std::uint8_t> bytes;
  void u8(unsigned v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v) {
    u8(v & 0xFF);
    u8((v >> 8) & 0xFF);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  // Fixed-width text, padded with zeros (or cut).
  void text(const std::string& s, std::size_t width, char pad = 0) {
    for (std::size_t i = 0; i < width; i++)
      u8(static_cast<std::uint8_t>(i < s.size() ? s[i] : pad));
  }
  void put_u16_at(std::size_t at, unsigned v) {
    bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  }
};

std::uint32_t sample_frames(const XmSample& s) {
  return static_cast<std::uint32_t>(s.sixteen_bit ? s.data16.size() : s.data8.size());
}

void write_pattern(Out& out, const XmPattern& p) {
  out.u32(9);  // pattern header length
  out.u8(0);   // packing type
  out.u16(static_cast<unsigned>(p.rows));
  const std::size_t size_at = out.bytes.size();
  out.u16(0);
  const std::size_t start = out.bytes.size();
  for (const XmCell& c : p.cells) {
    const bool all = c.note && c.instrument && c.volume && c.effect && c.param;
    if (all) {  // five plain bytes are shorter than the packed form
      out.u8(c.note);
      out.u8(c.instrument);
      out.u8(c.volume);
      out.u8(c.effect);
      out.u8(c.param);
      continue;
    }
    unsigned flags = 0x80;
    if (c.note) flags |= 0x01;
    if (c.instrument) flags |= 0x02;
    if (c.volume) flags |= 0x04;
    if (c.effect) flags |= 0x08;
    if (c.param) flags |= 0x10;
    out.u8(flags);
    if (c.note) out.u8(c.note);
    if (c.instrument) out.u8(c.instrument);
    if (c.volume) out.u8(c.volume);
    if (c.effect) out.u8(c.effect);
    if (c.param) out.u8(c.param);
  }
  out.put_u16_at(size_at, static_cast<unsigned>(out.bytes.size() - start));
}

void write_envelope_points(Out& out, const XmEnvelope& e) {
  for (int i = 0; i < XM_MAX_ENVELOPE_POINTS; i++) {
    const bool have = i < static_cast<int>(e.points.size());
    out.u16(have ? e.points[static_cast<std::size_t>(i)].tick : 0);
    out.u16(have ? e.points[static_cast<std::size_t>(i)].value : 0);
  }
}

unsigned envelope_type(const XmEnvelope& e) {
  if (e.points.empty()) return 0;
  unsigned t = 1;
  if (e.sustain >= 0) t |= 2;
  if (e.loop_start >= 0 && e.loop_end >= 0) t |= 4;
  return t;
}

unsigned point_or_zero(int p) { return p >= 0 ? static_cast<unsigned>(p) : 0u; }

void write_instrument(Out& out, const XmInstrument& ins) {
  if (ins.samples.empty()) {
    out.u32(INSTRUMENT_SIZE_EMPTY);
    out.text(ins.name, 22);
    out.u8(0);
    out.u16(0);
    return;
  }
  out.u32(INSTRUMENT_SIZE);
  out.text(ins.name, 22);
  out.u8(0);
  out.u16(static_cast<unsigned>(ins.samples.size()));
  out.u32(SAMPLE_HEADER_SIZE);
  for (std::uint8_t s : ins.note_sample) out.u8(s);
  write_envelope_points(out, ins.volume_envelope);
  write_envelope_points(out, ins.panning_envelope);
  out.u8(static_cast<unsigned>(ins.volume_envelope.points.size()));
  out.u8(static_cast<unsigned>(ins.panning_envelope.points.size()));
  out.u8(point_or_zero(ins.volume_envelope.sustain));
  out.u8(point_or_zero(ins.volume_envelope.loop_start));
  out.u8(point_or_zero(ins.volume_envelope.loop_end));
  out.u8(point_or_zero(ins.panning_envelope.sustain));
  out.u8(point_or_zero(ins.panning_envelope.loop_start));
  out.u8(point_or_zero(ins.panning_envelope.loop_end));
  out.u8(envelope_type(ins.volume_envelope));
  out.u8(envelope_type(ins.panning_envelope));
  out.u8(ins.vibrato_type);
  out.u8(ins.vibrato_sweep);
  out.u8(ins.vibrato_depth);
  out.u8(ins.vibrato_rate);
  out.u16(ins.fadeout);
  for (int i = 0; i < 22; i++) out.u8(0);  // reserved

  for (const XmSample& s : ins.samples) {
    const std::uint32_t width = s.sixteen_bit ? 2 : 1;
    const bool looped = s.loop != XmLoop::none && s.loop_length > 0;
    out.u32(sample_frames(s) * width);
    out.u32(looped ? s.loop_start * width : 0);
    out.u32(looped ? s.loop_length * width : 0);
    out.u8(s.volume);
    out.u8(static_cast<std::uint8_t>(s.finetune));
    out.u8((looped ? static_cast<unsigned>(s.loop) : 0u) | (s.sixteen_bit ? 0x10u : 0u));
    out.u8(s.panning);
    out.u8(static_cast<std::uint8_t>(s.relative_note));
    out.u8(0);
    out.text(s.name, 22);
  }
  for (const XmSample& s : ins.samples) {
    // Delta coding with wrap-around: each value is the difference to the one before.
    if (s.sixteen_bit) {
      std::uint16_t old = 0;
      for (std::int16_t v : s.data16) {
        const auto cur = static_cast<std::uint16_t>(v);
        out.u16(static_cast<std::uint16_t>(cur - old));
        old = cur;
      }
    } else {
      std::uint8_t old = 0;
      for (std::int8_t v : s.data8) {
        const auto cur = static_cast<std::uint8_t>(v);
        out.u8(static_cast<std::uint8_t>(cur - old));
        old = cur;
      }
    }
  }
}

std::string check_envelope(const XmEnvelope& e, const std::string& what) {
  const int n = static_cast<int>(e.points.size());
  if (n > XM_MAX_ENVELOPE_POINTS) return what + ": more than 12 envelope points";
  for (int i = 1; i < n; i++)
    if (e.points[static_cast<std::size_t>(i)].tick <=
        e.points[static_cast<std::size_t>(i - 1)].tick)
      return what + ": envelope ticks must rise";
  for (const auto& p : e.points)
    if (p.value > 64) return what + ": envelope value above 64";
  if (e.sustain >= n || e.loop_start >= n || e.loop_end >= n ||
      (e.loop_start >= 0) != (e.loop_end >= 0) || e.loop_start > e.loop_end)
    return what + ": envelope point index out of range";
  return {};
}
}  // namespace

XmPattern xm_pattern(const XmModule& module, int rows) {
  XmPattern p;
  p.rows = rows;
  p.cells.assign(
      static_cast<std::size_t>(rows > 0 ? rows : 0) * static_cast<std::size_t>(module.channels),
      XmCell{});
  return p;
}

XmCell& xm_cell(const XmModule& module, XmPattern& pattern, int row, int channel) {
  return pattern.cells.at(static_cast<std::size_t>(row) *
                              static_cast<std::size_t>(module.channels) +
                          static_cast<std::size_t>(channel));
}

std::string xm_check(const XmModule& m) {
  if (m.channels < 1 || m.channels > XM_MAX_CHANNELS) return "channels must be 1 to 32";
  if (m.speed < 1 || m.speed > 31) return "speed must be 1 to 31";
  if (m.bpm < 32 || m.bpm > 255) return "BPM must be 32 to 255";
  if (m.order.empty() || m.order.size() > 256) return "the order list needs 1 to 256 positions";
  if (m.restart < 0 || m.restart >= static_cast<int>(m.order.size()))
    return "restart position outside the order list";
  if (m.patterns.empty() || m.patterns.size() > 256) return "1 to 256 patterns";
  if (m.instruments.size() > 128) return "at most 128 instruments";
  for (std::uint8_t o : m.order)
    if (o >= m.patterns.size()) return "order list names a missing pattern";
  for (std::size_t i = 0; i < m.patterns.size(); i++) {
    const XmPattern& p = m.patterns[i];
    const std::string what = "pattern " + std::to_string(i);
    if (p.rows < 1 || p.rows > 256) return what + ": rows must be 1 to 256";
    if (p.cells.size() != static_cast<std::size_t>(p.rows) * static_cast<std::size_t>(m.channels))
      return what + ": cell count is not rows * channels";
    for (const XmCell& c : p.cells) {  // at most 5 bytes a cell: 256 rows of 32 always fit
      if (c.note > XM_KEY_OFF) return what + ": note out of range";
      if (c.instrument > m.instruments.size()) return what + ": missing instrument";
    }
  }
  for (std::size_t i = 0; i < m.instruments.size(); i++) {
    const XmInstrument& ins = m.instruments[i];
    const std::string what = "instrument " + std::to_string(i + 1);
    if (ins.samples.size() > 16) return what + ": more than 16 samples";
    for (std::uint8_t s : ins.note_sample)
      if (!ins.samples.empty() && s >= ins.samples.size())
        return what + ": note map names a missing sample";
    if (auto e = check_envelope(ins.volume_envelope, what); !e.empty()) return e;
    if (auto e = check_envelope(ins.panning_envelope, what); !e.empty()) return e;
    for (const XmSample& s : ins.samples) {
      const std::uint64_t frames = sample_frames(s);
      if (frames * (s.sixteen_bit ? 2u : 1u) > 0x7FFFFFFFu) return what + ": sample too long";
      if (s.loop != XmLoop::none && std::uint64_t{s.loop_start} + s.loop_length > frames)
        return what + ": loop past the end of the sample";
      if (s.volume > 64) return what + ": sample volume above 64";
    }
  }
  return {};
}

std::vector<std::uint8_t> xm_encode(const XmModule& m) {
  if (!xm_check(m).empty()) return {};
  Out out;
  out.text("Extended Module: ", 17);
  out.text(m.name, 20);
  out.u8(0x1A);
  out.text(m.tracker, 20, ' ');
  out.u16(0x0104);
  out.u32(HEADER_SIZE);
  out.u16(static_cast<unsigned>(m.order.size()));
  out.u16(static_cast<unsigned>(m.restart));
  out.u16(static_cast<unsigned>(m.channels));
  out.u16(static_cast<unsigned>(m.patterns.size()));
  out.u16(static_cast<unsigned>(m.instruments.size()));
  out.u16(m.linear_frequencies ? 1 : 0);
  out.u16(static_cast<unsigned>(m.speed));
  out.u16(static_cast<unsigned>(m.bpm));
  for (std::size_t i = 0; i < 256; i++) out.u8(i < m.order.size() ? m.order[i] : 0);
  for (const XmPattern& p : m.patterns) write_pattern(out, p);
  for (const XmInstrument& ins : m.instruments) write_instrument(out, ins);
  return std::move(out.bytes);
}

bool xm_save(const XmModule& module, const char* path) {
  const std::string fault = xm_check(module);
  if (!fault.empty()) {
    std::fprintf(stderr, "Cannot write %s: %s\n", path, fault.c_str());
    return false;
  }
  const std::vector<std::uint8_t> bytes = xm_encode(module);
  std::FILE* f = std::fopen(path, "wb");
  if (!f) {
    std::fprintf(stderr, "Cannot create %s\n", path);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "Cannot write %s\n", path);
    std::remove(path);
    return false;
  }
  return true;
}
