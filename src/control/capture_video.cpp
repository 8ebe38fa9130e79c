#include "control/capture_video.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdlib>
#include <vector>

const char* const VIDEO_ENDINGS = ".mp4, .m4v, .mov or .mkv";

namespace {
int pipe_fd = -1;
pid_t encoder = -1;

// Runs ffmpeg with `args`; with stdin_fd >= 0 its standard input comes from
// there. No shell is involved, so file names are passed as they are.
pid_t spawn(const std::vector<std::string>& args, int stdin_fd, int close_fd) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (stdin_fd >= 0) dup2(stdin_fd, 0);
    if (stdin_fd > 0) close(stdin_fd);
    if (close_fd >= 0) close(close_fd);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) dup2(null_fd, 1);
    execvp("ffmpeg", argv.data());
    _exit(127);
  }
  return pid;
}

bool wait_ok(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
}  // namespace

bool video_name_known(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return false;
  const std::string ending = name.substr(dot);
  for (const char* known : {".mp4", ".m4v", ".mov", ".mkv"})
    if (strcasecmp(ending.c_str(), known) == 0) return true;
  return false;
}

bool video_program_found() {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string dirs = path;
  std::size_t at = 0;
  while (at <= dirs.size()) {
    std::size_t end = dirs.find(':', at);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = end > at ? dirs.substr(at, end - at) : ".";
    if (access((dir + "/ffmpeg").c_str(), X_OK) == 0) return true;
    at = end + 1;
  }
  return false;
}

bool video_open(const std::string& part_path, int width, int height, bool lossless) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  // The words 0x00RRGGBB as they lie in memory.
  const char* pixel_order = std::endian::native == std::endian::little ? "bgr0" : "0rgb";
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  std::vector<std::string> args{"ffmpeg",    "-hide_banner", "-loglevel", "error",
                                "-y",        "-f",           "rawvideo",  "-pixel_format",
                                pixel_order, "-video_size",  size,        "-framerate",
                                "50",        "-i",           "pipe:0"};
  // For ordinary players: 4:2:0 at a constant quality. CRF 18 keeps the
  // enlarged pixels' edges clean; "superfast" keeps a 4x video ahead of the
  // song on two cores (half the work of "veryfast", for files about 45%
  // larger). Lossless is RGB, so no colour is rounded or shared.
  const std::vector<std::string> codec =
      lossless ? std::vector<std::string>{"-c:v", "libx264rgb", "-qp", "0", "-preset", "ultrafast"}
               : std::vector<std::string>{"-c:v", "libx264", "-preset",  "superfast",
                                          "-crf", "18",      "-pix_fmt", "yuv420p"};
  args.insert(args.end(), codec.begin(), codec.end());
  args.push_back(part_path);
  encoder = spawn(args, fds[0], fds[1]);
  close(fds[0]);
  if (encoder < 0) {
    close(fds[1]);
    return false;
  }
  pipe_fd = fds[1];
  return true;
}

bool video_frame(std::span<const std::uint32_t> pixels) {
  if (pipe_fd < 0) return false;
  const char* bytes = reinterpret_cast<const char*>(pixels.data());
  std::size_t left = pixels.size_bytes();
  while (left > 0) {
    const ssize_t n = write(pipe_fd, bytes, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

bool video_close() {
  if (encoder < 0) return true;
  if (pipe_fd >= 0) close(pipe_fd);
  pipe_fd = -1;
  const bool ok = wait_ok(encoder);
  encoder = -1;
  return ok;
}

bool video_mux(const std::string& part_path, const std::string& wav_path,
               const std::string& out_path) {
  const pid_t pid = spawn(
      {"ffmpeg", "-hide_banner", "-loglevel", "error",     "-nostdin",   "-y",    "-i",   part_path,
       "-i",     wav_path,       "-map",      "0:v",       "-map",       "1:a",   "-c:v", "copy",
       "-c:a",   "aac",          "-shortest", "-movflags", "+faststart", out_path},
      -1, -1);
  return pid > 0 && wait_ok(pid);
}
