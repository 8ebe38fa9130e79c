// The soundtrack's instruments, synthesised as 16-bit samples.
#pragma once
#include <vector>

#include "xm_writer.h"

// Instrument numbers in the module (1-based, as the pattern cells name them).
enum Instrument : std::uint8_t {
  INS_KICK = 1,
  INS_SNARE,
  INS_CLAP,
  INS_HAT_CLOSED,
  INS_HAT_OPEN,
  INS_CRASH,
  INS_BASS,
  INS_LEAD,
  INS_PAD,
  INS_PLUCK,
  INS_RISER,
  INS_STAB,
  INS_COUNT = INS_STAB
};

// Percussive instruments: the ones that can carry an accent.
constexpr bool instrument_is_percussive(std::uint8_t ins) {
  return ins == INS_KICK || ins == INS_SNARE || ins == INS_CLAP || ins == INS_CRASH ||
         ins == INS_STAB;
}

// The drums and effects sound at their recorded pitch on this note.
inline constexpr std::uint8_t DRUM_NOTE = xm_note(4, 0);

// Relative note and finetune so that a waveform whose cycle is `period`
// samples long sounds at the pitch of `note` (A-4 = 440 Hz).
struct Tuning {
  std::int8_t relative_note;
  std::int8_t finetune;
  double rate;  // the sample rate the note plays it at
};
Tuning tuning_for_period(double period, std::uint8_t note);
// For one-shots: the tuning that plays the sample at about `rate` on DRUM_NOTE.
Tuning tuning_for_rate(double rate);

// All instruments, in the order of the enum.
std::vector<XmInstrument> synth_instruments();
