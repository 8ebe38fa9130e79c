#include "run_check.h"

#include <cstdio>
#include <sstream>

namespace {
// The score written out independently of the program's tables:
// "P>N" row above N, "P+" row at least 1, "P*" any row.
struct Expected {
  int first, last;
  const char* events;
  bool lift_decays;
};
const Expected scenes[10] = {
    {0, 1, "", false},
    {2, 3, "2>25 2>28 2>31 3+ 3>32", true},
    {4, 11, "5* 6* 7* 8* 9* 10* 11*", true},
    {12, 19,
     "12>25 12>28 12>31 13+ 13>31 14+ 14>25 14>28 14>31 15+ 15>31 16+ 16>25 16>28 16>31 "
     "17+ 17>31 18+ 18>25 18>28 18>31 19+ 19>31",
     true},
    {20, 21, "20>25 20>28 20>31 21+ 21>31", true},
    {22, 25, "22+ 22>25 22>28 22>31 23+ 23>31 24+ 24>25 24>28 24>31 25+ 25>31", true},
    {26, 33, "27* 28* 29* 30* 31* 32* 33*", true},
    {34, 37, "34>25 34>28 34>31 35+ 35>31 36+ 36>25 36>28 36>31 37+ 37>31", true},
    {38, 41, "38* 39* 40* 41*", true},
    {42, 42, "", false},
};

struct Event {
  int position, row_above;
};
std::vector<Event> parse_events(const char* text) {
  std::vector<Event> out;
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    Event e{};
    char kind = 0;
    std::sscanf(word.c_str(), "%d%c%d", &e.position, &kind, &e.row_above);
    if (kind == '+') e.row_above = 0;
    if (kind == '*') e.row_above = -1;
    out.push_back(e);
  }
  return out;
}

// An overlay rule: counter == index, position > p, row > r.
struct Rule {
  int position_above, row_above;
};
int advance(const std::vector<Rule>& rules, int counter, const LogRow& f) {
  if (counter < static_cast<int>(rules.size()) && f.position > rules[counter].position_above &&
      f.row > rules[counter].row_above)
    return counter + 1;
  return counter;
}
const std::vector<Rule> plane_texts = {{1, 0}, {1, 32}, {2, 0}, {2, 32}};
const std::vector<Rule> floor_texts = {{12, 0}, {13, 0}, {14, 0}, {15, -1},
                                       {16, 0}, {17, 0}, {18, 0}};

struct Checker {
  std::vector<std::string> errors;
  std::size_t limit;
  void fail(const LogRow& f, const std::string& what, long got, long want) {
    if (errors.size() >= limit) return;
    errors.push_back("frame " + std::to_string(f.frame) + " (scene " + std::to_string(f.scene) +
                     ", position " + std::to_string(f.position) + " row " + std::to_string(f.row) +
                     "): " + what + " is " + std::to_string(got) + ", expected " +
                     std::to_string(want));
  }
  void expect(const LogRow& f, const char* what, long got, long want) {
    if (got != want) fail(f, what, got, want);
  }

  // One scene's frames [begin, end).
  void scene(const std::vector<LogRow>& rows, std::size_t begin, std::size_t end) {
    const int s = rows[begin].scene;
    const Expected& e = scenes[s];
    const std::vector<Event> events = parse_events(e.events);
    int step = 0, logo = 1, texts = 0, shown = 0, speedup = 0;
    for (std::size_t i = begin; i < end; i++) {
      const LogRow& f = rows[i];
      if (f.position < e.first || f.position > e.last) fail(f, "position", f.position, e.first);
      bool fired = false;
      for (std::size_t k = 0; k < events.size(); k++) {
        if (step == static_cast<int>(k) && f.position == events[k].position &&
            f.row > events[k].row_above) {
          step++;
          fired = true;
          if (s == 4 && k >= 2) shown = static_cast<int>(k) - 1;  // the map choice
        }
      }
      if (e.lift_decays) {
        expect(f, "step", f.step, step);
        expect(f, "lift is 255", f.lift == 255, i == begin || fired);
      }
      expect(f, "presented", f.presented, s == 9 ? (i == begin) : 1);
      switch (s) {
        case 0:
          if (f.position == 0 && f.row > 32)
            logo = 2;
          else if (f.position == 1 && f.row <= 19)
            logo = 3;
          expect(f, "logo", f.logo, logo);
          break;
        case 1:
          texts = advance(plane_texts, texts, f);
          expect(f, "overlay_step", f.overlay_step, texts);
          break;
        case 3:
          texts = advance(floor_texts, texts, f);
          expect(f, "overlay step (shown)", f.shown, texts);
          break;
        case 4:
          expect(f, "map choice (shown)", f.shown, shown);
          break;
        case 5:
          if (f.position == 23 && shown == 0) shown = 1;
          if (f.position == 24 && shown == 1) shown = 2;
          if (f.position == 25 && shown == 2) shown = 3;
          if (f.position == 25 && f.row > 48) speedup = 1;
          expect(f, "motion phase (shown)", f.shown, shown);
          expect(f, "speedup", f.speedup, speedup);
          break;
      }
    }
  }
};
}  // namespace

std::vector<std::string> check_run(const std::vector<LogRow>& rows, std::size_t limit) {
  Checker c{{}, limit};
  if (rows.empty()) return {"the run has no frames"};
  if (rows.front().scene != 0) c.fail(rows.front(), "first scene", rows.front().scene, 0);
  if (rows.back().scene != 9) c.fail(rows.back(), "last scene", rows.back().scene, 9);
  std::size_t begin = 0;
  for (std::size_t i = 1; i <= rows.size(); i++) {
    if (i < rows.size() && rows[i].scene == rows[begin].scene) continue;
    if (i < rows.size() && rows[i].scene != rows[begin].scene + 1)
      c.fail(rows[i], "scene after " + std::to_string(rows[begin].scene), rows[i].scene,
             rows[begin].scene + 1);
    if (rows[begin].scene >= 0 && rows[begin].scene <= 9) c.scene(rows, begin, i);
    begin = i;
  }
  return c.errors;
}

bool parse_log(const std::string& csv, std::vector<LogRow>* rows) {
  std::istringstream in(csv);
  std::string line;
  if (!std::getline(in, line) || line.rfind("frame,demo_ticks,position,row,scene,lift", 0) != 0)
    return false;
  while (std::getline(in, line)) {
    LogRow r{};
    if (std::sscanf(line.c_str(), "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", &r.frame, &r.ticks,
                    &r.position, &r.row, &r.scene, &r.lift, &r.presented, &r.step, &r.shown,
                    &r.overlay_step, &r.logo, &r.speedup) != 12)
      return false;
    rows->push_back(r);
  }
  return true;
}
