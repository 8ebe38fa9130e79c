// qn-capture over the whole demo with the built data files: the log follows
// the score, the run ends on the closing row, and two runs give the same bytes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
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
  std::string err, out;
};

// Runs qn-capture in `dir` with `args` (and optional NAME=value settings and
// shell commands before it); the time limit only catches a hang, on a busy
// machine under an emulator too.
Result capture(const fs::path& dir, const std::string& args, const std::string& env_prefix = "",
               const std::string& shell_prefix = "") {
  const fs::path err = fs::temp_directory_path() / ("qn-capture-err-" + std::to_string(getpid()));
  const fs::path out = fs::temp_directory_path() / ("qn-capture-out-" + std::to_string(getpid()));
  const std::string cmd = shell_prefix + "cd '" + dir.string() + "' && timeout -k 5 1800 env " +
                          env_prefix + " " + env("QN_RUN") + "'" + bin_dir() + "/qn-capture' " +
                          args + " >'" + out.string() + "' 2>'" + err.string() + "'";
  const int raw = std::system(cmd.c_str());
  Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(err), slurp(out)};
  fs::remove(err);
  fs::remove(out);
  return r;
}

class QnCapture : public ::testing::Test {
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

TEST_F(QnCapture, WholeDemoFollowsTheScoreAndRepeatsByteForByte) {
  const std::string opts = " --png-every 3180 --log frames.csv --wav music.wav";
  const Result a = capture(data, "-o '" + (out / "a").string() + "'" + opts);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_NE(a.err.find("ended at position 42 row 33"), std::string::npos) << a.err;
  EXPECT_NE(a.err.find("0% of the song, frame "), std::string::npos) << a.err;  // the progress
  EXPECT_NE(a.err.find(" left\n"), std::string::npos) << a.err;                 // and the time left

  std::vector<LogRow> rows;
  ASSERT_TRUE(parse_log(slurp(out / "a" / "frames.csv"), &rows));
  std::string problems;
  for (const std::string& p : check_run(rows)) problems += p + "\n";
  EXPECT_EQ(problems, "");
  // Every frame is 20 ms: one tick each.
  for (std::size_t i = 0; i < rows.size(); i++) ASSERT_EQ(rows[i].ticks, static_cast<int>(i));

  // The PNGs decode to 320x240 pictures with something on them, frame 15900
  // too: long after the closing scene's one presentation, it shows it still.
  for (int frame = 0; frame <= 15900; frame += 3180) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", frame);
    const fs::path png = out / "a" / name;
    ASSERT_TRUE(fs::exists(png)) << png;
    const std::string identify = "/usr/bin/identify -format '%wx%h %k' '" + png.string() + "' > '" +
                                 (out / "size").string() + "' 2>/dev/null";
    if (std::system(identify.c_str()) != 0) continue;  // no ImageMagick
    std::istringstream shown(slurp(out / "size"));
    std::string size;
    int colours = 0;
    shown >> size >> colours;
    EXPECT_EQ(size, "320x240") << png;
    EXPECT_GT(colours, 100) << png;
  }

  const Result b = capture(data, "-o '" + (out / "b").string() + "'" + opts);
  ASSERT_EQ(b.status, 0) << b.err;
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(out / "a")) names.push_back(e.path().filename());
  EXPECT_EQ(names.size(), 8u);  // log, WAV, frames 0, 3180, ..., 15900
  for (const std::string& n : names) EXPECT_TRUE(slurp(out / "a" / n) == slurp(out / "b" / n)) << n;
}

TEST_F(QnCapture, BadUseGetsOneMessageAndAFailureStatus) {
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

  // A video name that says no format is refused before anything runs.
  r = capture(data, "-o '" + out.string() + "' --video qn");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "qn-capture: cannot tell the video's format from the name qn: end it in .mp4, .m4v, "
            ".mov or .mkv\n");

  // Without the data files: status 1, and the folder made for the run is gone.
  fs::create_directories(out / "empty");
  r = capture(out / "empty", "-o out/run");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(out / "empty" / "out"));
}

// Failed runs leave an earlier run's files byte for byte and none of their
// own: one stopped by the time limit, one whose start-up fails once the WAV
// is open (no music.xm), one whose log cannot be written, one cut by SIGTERM.
TEST_F(QnCapture, AFailedOrCutRunLeavesTheEarlierRunsFiles) {
  const fs::path run = out / "run";
  fs::create_directories(run);
  const std::vector<std::string> older{"frame-000000.png", "frames.csv", "music.wav", "qn.mp4"};
  for (const std::string& n : older) std::ofstream(run / n) << "older " << n;
  const auto unchanged = [&](const char* after) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(run)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, older) << after;
    for (const std::string& n : older) EXPECT_EQ(slurp(run / n), "older " + n) << after;
  };
  const std::string to_run = "-o '" + run.string() + "'";

  Result r = capture(data, to_run + " --png-every 10 --max-seconds 1");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("stopped after 1 seconds of virtual time"), std::string::npos) << r.err;
  unchanged("the time limit");

  fs::create_directories(out / "no-music");
  for (const char* f : {"zorv.dat", "objs.3dw"}) fs::create_symlink(data / f, out / "no-music" / f);
  r = capture(out / "no-music", to_run);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Unable to load module"), std::string::npos) << r.err;
  unchanged("a failed start");

  // A file size limit of 1 KiB: the log's first buffer cannot be written.
  r = capture(data, to_run + " --no-wav --to 10", "", "ulimit -f 1 && trap '' XFSZ && ");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("qn-capture: cannot write " + (run / "frames.csv").string() + ": "),
            std::string::npos)
      << r.err;
  unchanged("a log write error");

  // SIGTERM once a tenth of the song has been captured: one line says so.
  const bool ffmpeg = std::system("command -v ffmpeg >/dev/null") == 0;
  const fs::path err = out / "cut.err";
  const std::string cmd = "cd '" + data.string() + "' && exec " + env("QN_RUN") + "'" + bin_dir() +
                          "/qn-capture' " + to_run + (ffmpeg ? " --video qn.mp4" : "") +
                          " >/dev/null 2>'" + err.string() + "'";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  for (int i = 0; i < 36000 && slurp(err).find(" 10% of the song") == std::string::npos; i++) {
    if (waitpid(pid, &status, WNOHANG) == pid) FAIL() << "ended by itself: " << slurp(err);
    usleep(50 * 1000);
  }
  kill(pid, SIGTERM);
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
  const std::string cut = slurp(err);
  fs::remove(err);
  const std::size_t last = cut.rfind('\n', cut.size() - 2) + 1;
  EXPECT_TRUE(cut.substr(last).starts_with("qn-capture: interrupted by SIGTERM at ")) << cut;
  EXPECT_TRUE(cut.ends_with(" s of the demo; nothing was kept\n")) << cut;
  unchanged("SIGTERM");
}

// A stretch of the demo is a success: its frames and sound are those of the
// whole run's; a video is made under a temporary name, and a run that fails
// leaves no part of it and keeps an older file by that name as it was.
TEST_F(QnCapture, AClipIsTheStretchOfTheWholeRun) {
  const std::string ending = "*** Shutdown ***\n";
  const Result a = capture(data, "-o '" + (out / "a").string() + "' --to 30");
  ASSERT_EQ(a.status, 0) << a.err;
  // The progress counts against the clip, not the song.
  EXPECT_NE(a.err.find("qn-capture:  50% of the clip, frame 750,"), std::string::npos) << a.err;
  EXPECT_NE(a.err.find("qn-capture: 100% of the clip, frame 1500,"), std::string::npos) << a.err;
  // Started elsewhere with --data: the data comes from there, and a relative
  // output folder is where the run was started.
  const bool ffmpeg = std::system("command -v ffmpeg >/dev/null") == 0;
  fs::create_directories(out);
  const Result b = capture(out, "-o b --data '" + data.string() + "' --from 29 --to 30" +
                                    (ffmpeg ? " --video clip.mp4" : ""));
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_TRUE(b.out.ends_with(ending)) << b.out;

  const std::string log_a = slurp(out / "a" / "frames.csv"),
                    log_b = slurp(out / "b" / "frames.csv");
  const std::size_t header = log_a.find('\n') + 1;
  EXPECT_EQ(log_b, log_a.substr(0, header) + log_a.substr(log_a.find("\n1450,") + 1));
  const std::string wav_a = slurp(out / "a" / "music.wav"), wav_b = slurp(out / "b" / "music.wav");
  const std::size_t frame_bytes = 882 * 4;  // 20 ms of 16-bit stereo at 44.1 kHz
  // The clip ends where a scene changes: the frame after it is not kept.
  ASSERT_EQ(wav_a.size(), 44 + 1500 * frame_bytes);
  ASSERT_EQ(wav_b.size(), 44 + 50 * frame_bytes);
  EXPECT_TRUE(wav_b.substr(44) == wav_a.substr(44 + 1450 * frame_bytes));
  if (!ffmpeg) return;
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(out / "b")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"clip.mp4", "frames.csv", "music.wav"}));

  std::ofstream(out / "b" / "clip.mp4") << "older";
  const Result c =
      capture(data, "-o '" + (out / "b").string() + "' --video clip.mp4 --max-seconds 1");
  EXPECT_EQ(c.status, 1);
  EXPECT_NE(c.err.find("removed the unfinished video; " + (out / "b" / "clip.mp4").string() +
                       " is from an earlier run"),
            std::string::npos)
      << c.err;
  EXPECT_EQ(slurp(out / "b" / "clip.mp4"), "older");
  for (const auto& e : fs::directory_iterator(out / "b"))
    EXPECT_EQ(e.path().filename().string().find("part"), std::string::npos) << e.path();
}

TEST(QnCaptureHelp, PrintsUsage) {
  std::string cmd = env("QN_RUN") + "'";
  cmd += bin_dir();
  cmd += "/qn-capture' --help | grep -q '^Usage: qn-capture'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}
