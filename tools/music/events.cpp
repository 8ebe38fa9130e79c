// What the timeline waits for: the flashes of every scene's event list, the
// first scene's text overlays and the landscape scene's overlay steps.
#include <algorithm>

#include "song.h"

namespace {
using enum RowTest;

std::vector<SongEvent> make_events() {
  std::vector<SongEvent> e = {
      // warped plane: flashes, then the four text overlays
      {2, over_25},
      {2, over_28},
      {2, over_31},
      {3, at_least_1},
      {3, over_32},
      {2, at_least_1},
      {2, over_32},
      {3, at_least_1},
      {3, over_32},
      // landscape: flashes, then the overlay steps
      {12, over_25},
      {12, over_28},
      {12, over_31},
      {13, at_least_1},
      {13, over_31},
      {14, at_least_1},
      {14, over_25},
      {14, over_28},
      {14, over_31},
      {15, at_least_1},
      {15, over_31},
      {16, at_least_1},
      {16, over_25},
      {16, over_28},
      {16, over_31},
      {17, at_least_1},
      {17, over_31},
      {18, at_least_1},
      {18, over_25},
      {18, over_28},
      {18, over_31},
      {19, at_least_1},
      {19, over_31},
      {13, at_least_1},
      {14, at_least_1},
      {15, at_least_1},
      {16, any},
      {17, at_least_1},
      {18, at_least_1},
      {19, at_least_1},
      // tunnels chosen by event
      {20, over_25},
      {20, over_28},
      {20, over_31},
      {21, at_least_1},
      {21, over_31},
      // the 3D scene
      {22, at_least_1},
      {22, over_25},
      {22, over_28},
      {22, over_31},
      {23, at_least_1},
      {23, over_31},
      {24, at_least_1},
      {24, over_25},
      {24, over_28},
      {24, over_31},
      {25, at_least_1},
      {25, over_31},
      // bump images
      {34, over_25},
      {34, over_28},
      {34, over_31},
      {35, at_least_1},
      {35, over_31},
      {36, at_least_1},
      {36, over_25},
      {36, over_28},
      {36, over_31},
      {37, at_least_1},
      {37, over_31},
  };
  // Tunnel scenes flash on arriving at each of their positions.
  for (int p = 5; p <= 11; p++) e.push_back({p, any});
  for (int p = 27; p <= 33; p++) e.push_back({p, any});
  for (int p = 38; p <= 41; p++) e.push_back({p, any});
  std::stable_sort(e.begin(), e.end(),
                   [](const SongEvent& a, const SongEvent& b) { return a.position < b.position; });
  return e;
}
}  // namespace

const std::vector<SongEvent>& song_events() {
  static const std::vector<SongEvent> events = make_events();
  return events;
}

std::vector<AccentRow> song_accent_rows() {
  std::vector<AccentRow> rows;
  for (const SongEvent& e : song_events()) rows.push_back({e.position, first_row(e.test)});
  std::sort(rows.begin(), rows.end(), [](const AccentRow& a, const AccentRow& b) {
    return a.position != b.position ? a.position < b.position : a.row < b.row;
  });
  rows.erase(std::unique(rows.begin(), rows.end(),
                         [](const AccentRow& a, const AccentRow& b) {
                           return a.position == b.position && a.row == b.row;
                         }),
             rows.end());
  return rows;
}
