// The soundtrack: a song in A minor whose sections follow the demo's scenes
// and whose percussive accents land on the rows where the pictures flash.
#pragma once
#include <vector>

#include "xm_writer.h"

inline constexpr int SONG_POSITIONS = 43;
inline constexpr int SONG_ROWS = 64;
inline constexpr int SONG_CHANNELS = 12;
inline constexpr int SONG_SPEED = 6;
inline constexpr int SONG_BPM = 128;
// The timeline ends the demo here.
inline constexpr int SONG_CLOSING_POSITION = 42;
inline constexpr int SONG_CLOSING_ROW = 33;

// How a timeline event tests the row.
enum class RowTest { any, at_least_1, over_25, over_28, over_31, over_32 };

// The first row on which a test holds.
constexpr int first_row(RowTest t) {
  switch (t) {
    case RowTest::any:
      return 0;
    case RowTest::at_least_1:
      return 1;
    case RowTest::over_25:
      return 26;
    case RowTest::over_28:
      return 29;
    case RowTest::over_31:
      return 32;
    case RowTest::over_32:
      return 33;
  }
  return 0;
}

struct SongEvent {
  int position;
  RowTest test;
};

// Every flash, overlay and overlay step of the timeline, in position order.
const std::vector<SongEvent>& song_events();

struct AccentRow {
  int position;
  int row;
};
// The distinct rows that carry an accent, derived from song_events.
std::vector<AccentRow> song_accent_rows();

XmModule song_compose();
