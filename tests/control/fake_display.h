// The timeline tests' screen: the null display back end, and a frame hook
// that records each frame (as qn-capture logs them) with its presentation,
// then lets the test's song script move the module, the clock and the
// running flag.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "control/timeline.h"
#include "run_check.h"

struct Presentation {
  int frame;  // the frame it belongs to
  std::uint64_t hash;
  std::string lock_error;
};

struct FakeRun {
  std::vector<LogRow> frames;
  std::vector<TimelineState> states;  // the whole state at each poll
  std::vector<Presentation> presentations;
};

// Called once a frame after the frame is recorded: frame number, and
// the module position, row and the clock to change in place.
using SongScript = std::function<void(int frame, int& position, int& row, std::int32_t& ticks)>;

// Runs the whole timeline from position 0, row 0, tick 0 with `script`;
// stops (failing the run) after max_frames.
FakeRun run_timeline(const SongScript& script, int max_frames = 20000, int start_position = 0);
