// qn-capture over the whole demo with the built data files: the log follows
// the score, the run ends on the closing row, and two runs give the same bytes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "run_check.h"

namespace fs = std::filesystem;

namespace {
std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The programs sit one folder above the data (build/ and build/data/).
std::string bin_dir() {
  const std::string bin = env("QN_BIN_DIR");
  return bin.empty() ? env("QN_DATA_DIR") + "/.." : bin;
}

struct Result {
  int status;
  std::string err;
};

// Runs qn-capture in `dir` with `args` (and optional NAME=value settings);
// the time limit only catches a hang, on a busy machine under an emulator too.
Result capture(const fs::path& dir, const std::string& args, const std::string& env_prefix = "") {
  const fs::path err = fs::temp_directory_path() / ("qn-capture-err-" + std::to_string(getpid()));
  const std::string cmd = "cd '" + dir.string() + "' && timeout -k 5 1800 env " + env_prefix + " " +
                          env("QN_RUN") + "'" + bin_dir() + "/qn-capture' " + args + " >/dev/null 2>'" + err.string() + "'";
  const int raw = std::system(cmd.c_str());
  Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(err)};
  fs::remove(err);
  return r;
}

class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    data = env("QN_DATA_DIR");
    for (const char* f : {"zorv.dat", "objs.3dw", "music.xm"})
      if (!fs::exists(data / f)) GTEST_SKIP() << "no " << f << " in " << data;
    out = fs::temp_directory_path() / ("qn-capture-test-" + std::to_string(getpid()));
    fs::remove_all(out);
  }
  void TearDown() override { fs::remove_all(out); }
  fs::path data, out;
};
}  // namespace

TEST_F(Capture, WholeDemoFollowsTheScoreAndRepeatsByteForByte) {
  const std::string opts = " --png-every 3000 --log frames.csv --wav music.wav";
  const Result a = capture(data, "-o '" + (out / "a").string() + "'" + opts);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_NE(a.err.find("ended at position 42 row 33"), std::string::npos) << a.err;

  std::vector<LogRow> rows;
  ASSERT_TRUE(parse_log(slurp(out / "a" / "frames.csv"), &rows));
  std::string problems;
  for (const std::string& p : check_run(rows)) problems += p + "\n";
  EXPECT_EQ(problems, "");
  // Every frame is 20 ms: one tick each.
  for (std::size_t i = 0; i < rows.size(); i++) ASSERT_EQ(rows[i].ticks, static_cast<int>(i));

  // The PNGs decode to 320x240 pictures.
  const fs::path png = out / "a" / "frame-003000.png";
  ASSERT_TRUE(fs::exists(png));
  const std::string size_cmd = "/usr/bin/identify -format %wx%h '" + png.string() + "' > '" +
                               (out / "size").string() + "'";
  if (std::system(size_cmd.c_str()) == 0) {
    EXPECT_EQ(slurp(out / "size"), "320x240");
  }

  const Result b = capture(data, "-o '" + (out / "b").string() + "'" + opts);
  ASSERT_EQ(b.status, 0) << b.err;
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(out / "a")) names.push_back(e.path().filename());
  EXPECT_GE(names.size(), 7u);  // log, WAV, frames 0, 3000, ..., 15000
  for (const std::string& n : names) EXPECT_TRUE(slurp(out / "a" / n) == slurp(out / "b" / n)) << n;
}

TEST_F(Capture, BadUseGetsOneMessageAndAFailureStatus) {
  Result r = capture(data, "--frobnicate");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "qn-capture: unknown option '--frobnicate'\nTry 'qn-capture --help'.\n");

  r = capture(data, "--png-every -3");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("bad value '-3' for --png-every"), std::string::npos) << r.err;

  // Without ffmpeg the video is refused before anything runs.
  r = capture(data, "-o '" + out.string() + "' --video demo.mp4", "PATH=/nonexistent");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("not installed"), std::string::npos) << r.err;

  // A run that cannot reach the closing row stops at the time limit.
  r = capture(data, "-o '" + out.string() + "' --max-seconds 1");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("stopped after 1 seconds of virtual time"), std::string::npos) << r.err;
  std::vector<LogRow> rows;
  ASSERT_TRUE(parse_log(slurp(out / "frames.csv"), &rows));
  EXPECT_EQ(rows.size(), 50u);

  // Without the data files: the archive reader's message, status 1.
  fs::create_directories(out / "empty");
  r = capture(out / "empty", "-o out");
  EXPECT_EQ(r.status, 1);
}

TEST(CaptureHelp, PrintsUsage) {
  std::string cmd = env("QN_RUN") + "'";
  cmd += bin_dir();
  cmd += "/qn-capture' --help | grep -q '^Usage: qn-capture'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}
