// Checks a whole run frame by frame against the demo's score: which scene
// runs over which positions, when each flash fires, when texts, logo, map
// choice and motion change. Used on the in-process runs of the timeline tests
// and on qn-capture's CSV log.
#pragma once
#include <string>
#include <vector>

struct LogRow {
  int frame, ticks, position, row, scene, lift, presented, step, shown, overlay_step, logo, speedup;
};

// Every disagreement, as readable lines (at most `limit` of them).
std::vector<std::string> check_run(const std::vector<LogRow>& rows, std::size_t limit = 20);

// Parses qn-capture's log; false on a malformed line.
bool parse_log(const std::string& csv, std::vector<LogRow>* rows);
