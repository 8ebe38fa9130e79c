// The capture program's run: the output folder and the log before start-up;
// once a frame, called by the timeline after the quit poll, the frame's log
// line, PNG and video frame (a frame without a presentation repeats the last
// picture), 20 ms of virtual time, the limits and the progress line; after
// shut-down, the summary and the video's sound. Every file is written under a
// temporary name and put in place only when the whole run has succeeded, so
// a run that fails or is cut short never touches an earlier run's files.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/frame.h"
#include "common/globals.h"
#include "control/capture.h"
#include "control/capture_scale.h"
#include "control/capture_video.h"
#include "control/timeline.h"
#include "data/png/png_write.h"
#include "display/display_capture.h"
#include "music/music.h"

namespace {
CaptureOptions options;
int frame = 0;               // frames written so far
int presentations_seen = 0;  // the capture screen's count at the last frame
std::FILE* log_file = nullptr;
bool failed = false;
bool video_started = false;
bool progress_shown = false;
int song_over_frames = 0;
std::int32_t end_position = 0, end_row = 0;  // after the last step
double song_done = 0.0;                      // fraction of the song played
std::chrono::steady_clock::time_point started;
bool placed = false;                    // every file is in place: the run succeeded
std::vector<std::string> made_folders;  // by us, outermost first
std::vector<std::uint32_t> scaled;      // the frame enlarged, at --scale above 1
std::vector<int> png_frames;            // written so far, under temporary names

std::string temp_path(const std::string& path) { return path + ".part"; }
std::string log_path() { return capture_path(options, options.log); }
std::string wav_path() { return capture_path(options, options.wav); }
std::string png_path(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%06d.png", number);
  return options.out_dir + "/" + name;
}

// A run that did not succeed leaves nothing behind: its files and the folders
// made for them go again, whatever ended it (a failed start-up exits early).
void discard_unfinished() {
  if (placed) return;
  if (log_file) std::fclose(log_file);
  log_file = nullptr;
  std::remove(temp_path(log_path()).c_str());
  if (!options.wav.empty()) std::remove(temp_path(wav_path()).c_str());
  for (int number : png_frames) std::remove(temp_path(png_path(number)).c_str());
  for (auto it = made_folders.rbegin(); it != made_folders.rend(); ++it) rmdir(it->c_str());
}

void give_up(const char* format, ...) {
  // A signal's cut is reported on its own: whatever failed because of it
  // (an encoder that got the same Ctrl-C) is not news.
  if (!failed && !demo_stop_signal) {
    if (progress_shown) std::fputc('\n', stderr);
    progress_shown = false;
    std::va_list args;
    va_start(args, format);
    std::fputs("qn-capture: ", stderr);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
  }
  failed = true;
  demo_running = 0;
}

bool make_folders(const std::string& path) {
  for (std::size_t at = 1; at <= path.size(); at++) {
    if (at != path.size() && path[at] != '/') continue;
    const std::string part = path.substr(0, at);
    if (mkdir(part.c_str(), 0777) == 0)
      made_folders.push_back(part);
    else if (errno != EEXIST)
      return false;
  }
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string video_part_path() { return capture_path(options, options.video) + ".part.mkv"; }

// The finished video is made under this name and renamed once complete:
// ".part" goes before the extension, which tells ffmpeg the format.
std::string video_temp_path() {
  const std::string path = capture_path(options, options.video);
  const std::size_t dot = path.rfind('.'), slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return path + ".part";
  return path.substr(0, dot) + ".part" + path.substr(dot);
}

// A run that failed leaves no unfinished video, says so, and warns of an
// older file by the final name, which is not this run's.
void discard_video() {
  if (!video_started) return;
  std::remove(video_part_path().c_str());
  std::remove(video_temp_path().c_str());
  const std::string path = capture_path(options, options.video);
  struct stat st;
  if (stat(path.c_str(), &st) == 0)
    std::fprintf(stderr, "qn-capture: removed the unfinished video; %s is from an earlier run\n",
                 path.c_str());
  else
    std::fprintf(stderr, "qn-capture: removed the unfinished video; %s was not written\n",
                 path.c_str());
}

double wall_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// How far the run is, 0..1, and against what: a clip's end (--to), or the
// song's for a run to the end. The frames before --from take time as well,
// but only the clip's own count towards its percentage.
double clip_done() {
  if (options.clip_end == INT_MAX) return song_done;
  const double kept = frame - options.clip_first, length = options.clip_end - options.clip_first;
  return std::clamp(kept / length, 0.0, 1.0);
}
double run_done() {
  if (options.clip_end == INT_MAX) return song_done;
  // A --to past the song's end: the song is the nearer end.
  return std::max(song_done, static_cast<double>(frame) / options.clip_end);
}

// Only what the last frame recorded: at shut-down the module is gone. On a
// terminal one line is rewritten a few times a second; into a file, a line
// for every tenth of the run.
void show_progress(bool last = false) {
  static const bool terminal = isatty(2);
  static double shown_at = 0.0;
  static int shown_tenth = -1;
  const double wall = wall_seconds(), shown = clip_done(), done = run_done();
  const int tenth = static_cast<int>(shown * 10.0);
  if (!last && (terminal ? wall - shown_at < 0.25 : tenth == shown_tenth)) return;
  shown_at = wall;
  shown_tenth = tenth;
  // The time left assumes the rest of the run goes as fast as what was done;
  // before 1% the start-up's time would swamp it.
  char left[32] = "";
  if (!last && done >= 0.01) {
    const int seconds = static_cast<int>(wall * (1.0 - done) / done + 0.5);
    std::snprintf(left, sizeof left, ", %d:%02d left", seconds / 60, seconds % 60);
  }
  std::fprintf(stderr, "%sqn-capture: %3d%% of the %s, frame %d, %.0f frames/s%s%s",
               terminal ? "\r" : "", static_cast<int>(shown * 100.0 + 1e-9),
               options.clip_end == INT_MAX ? "song" : "clip", frame, wall > 0 ? frame / wall : 0.0,
               left, terminal ? "    " : "\n");
  progress_shown = terminal;
}

void write_log_line(const TimelineState& t, int presented) {
  if (std::fprintf(log_file, "%d,%d,%d,%d,%u,%u,%d,%u,%u,%d,%u,%d\n", frame, demo_ticks,
                   song_position(), song_row(), t.scene, t.lift, presented, t.step, t.shown,
                   t.overlay_step, t.logo, t.speedup) < 0)
    give_up("cannot write %s: %s", log_path().c_str(), std::strerror(errno));
}

bool png_wanted() {
  return options.png_every > 0 && frame >= options.png_first && frame <= options.png_last &&
         (frame - options.png_first) % options.png_every == 0;
}

// The picture as it is written: the frame itself, or its enlargement.
std::span<const std::uint32_t> output_picture(const CaptureScreen& screen) {
  const std::span<const std::uint32_t> frame_pixels(screen.picture, FRAME_PIXELS);
  if (options.scale == 1) return frame_pixels;
  scaled.resize(static_cast<std::size_t>(FRAME_PIXELS) * options.scale * options.scale);
  capture_scale(frame_pixels, FRAME_WIDTH, FRAME_HEIGHT, options.scale, scaled);
  return scaled;
}

void write_frame_files(const TimelineState& t, const CaptureScreen& screen, int presented) {
  if (log_file) write_log_line(t, presented);
  const bool png = png_wanted();
  if (!png && options.video.empty()) return;
  const std::span<const std::uint32_t> picture = output_picture(screen);
  const int width = FRAME_WIDTH * options.scale, height = FRAME_HEIGHT * options.scale;
  if (png) {
    const std::string path = png_path(frame);
    if (png_write(temp_path(path).c_str(), picture, width, height))
      png_frames.push_back(frame);
    else
      give_up("cannot write %s: %s", path.c_str(), std::strerror(errno));
  }
  if (!options.video.empty()) {
    if (!video_started && !video_open(video_part_path(), width, height, options.video_lossless))
      give_up("cannot start ffmpeg for %s", options.video.c_str());
    video_started = true;
    if (!failed && !video_frame(picture)) give_up("ffmpeg stopped taking frames");
  }
}

// A module that never reaches the closing row must not keep us going forever.
void check_limits() {
  if (music_module->sngpos >= music_module->numpos) {
    if (++song_over_frames > 50)
      give_up("the song ended at position %d before the closing row of the demo", end_position);
  }
  if (frame >= options.max_seconds * 50)
    give_up("stopped after %d seconds of virtual time; the closing row was never reached",
            options.max_seconds);
}
}  // namespace

bool capture_configure(const CaptureOptions& o) {
  options = o;
  started = std::chrono::steady_clock::now();
  // From the start: a cut at any point is an interrupted run, never a
  // success and never a process gone with its files half written.
  struct sigaction stop {};
  stop.sa_handler = handle_signal;
  sigemptyset(&stop.sa_mask);
  stop.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &stop, nullptr);
  std::atexit(discard_unfinished);
  if (!options.video.empty() && !video_name_known(options.video)) {
    std::fprintf(stderr,
                 "qn-capture: cannot tell the video's format from the name %s: end it in %s\n",
                 options.video.c_str(), VIDEO_ENDINGS);
    return false;
  }
  if (!make_folders(options.out_dir)) {
    std::fprintf(stderr, "qn-capture: cannot make the folder %s: %s\n", options.out_dir.c_str(),
                 std::strerror(errno));
    return false;
  }
  if (!options.video.empty() && !video_program_found()) {
    std::fprintf(stderr,
                 "qn-capture: --video needs the ffmpeg program, which is not installed "
                 "(no ffmpeg on PATH)\n");
    return false;
  }
  if (!options.log.empty()) {
    log_file = std::fopen(temp_path(log_path()).c_str(), "w");
    if (!log_file) {
      std::fprintf(stderr, "qn-capture: cannot write %s: %s\n", log_path().c_str(),
                   std::strerror(errno));
      return false;
    }
    std::fputs(
        "frame,demo_ticks,position,row,scene,lift,presented,step,shown,overlay_step,logo,"
        "speedup\n",
        log_file);
  }
  return true;
}

void capture_frame(const TimelineState& timeline) {
  // The timeline may draw one more frame in the pass where a scene changes.
  if (frame >= options.clip_end) return;
  const CaptureScreen& screen = display_capture_screen();
  const bool kept = frame >= options.clip_first;
  if (kept) write_frame_files(timeline, screen, screen.presentations - presentations_seen);
  presentations_seen = screen.presentations;
  music_capture_keep(kept);
  clock_step();
  clock_step();
  frame++;
  end_position = song_position();
  end_row = song_row();
  if (music_module->numpos > 0) {
    const double rows = music_module->numrow > 0 ? music_module->numrow : 64;
    song_done = std::min(1.0, (end_position + end_row / rows) / music_module->numpos);
  }
  if (frame >= options.clip_end)
    demo_running = 0;  // the stretch asked for is complete: an orderly end
  else
    check_limits();
  show_progress();
}

std::string capture_sound_path() {
  return options.wav.empty() ? "/dev/null" : temp_path(wav_path());
}

namespace {
const char* signal_name(int sig) {
  switch (sig) {
    case SIGINT:
      return "SIGINT";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "SIGTERM";
  }
}

// A successful run's files, from their temporary names to their own.
bool put_in_place() {
  std::vector<std::string> paths{log_path()};
  if (!options.wav.empty()) paths.push_back(wav_path());
  for (int number : png_frames) paths.push_back(png_path(number));
  for (const std::string& path : paths) {
    if (std::rename(temp_path(path).c_str(), path.c_str()) != 0) {
      give_up("cannot put %s in place: %s", path.c_str(), std::strerror(errno));
      return false;
    }
  }
  return true;
}
}  // namespace

int capture_finish(bool sound_ok) {
  // Cut short: a signal came before --to or the demo's end.
  const bool complete = frame >= options.clip_end || timeline_finished();
  const int cut_by = complete || failed ? 0 : demo_stop_signal;
  if (frame > 0 && !cut_by) show_progress(true);
  if (progress_shown) std::fputc('\n', stderr);
  progress_shown = false;
  if (log_file) {
    const bool write_error = std::ferror(log_file) != 0;
    if (std::fclose(log_file) != 0 || write_error)
      give_up("cannot write %s: %s", log_path().c_str(),
              std::strerror(write_error || errno == 0 ? EIO : errno));
  }
  log_file = nullptr;
  if (video_started && !video_close())
    give_up("ffmpeg failed while encoding %s", options.video.c_str());
  if (cut_by) {
    if (video_started) {
      std::remove(video_part_path().c_str());
      std::remove(video_temp_path().c_str());
    }
    std::fprintf(stderr, "qn-capture: interrupted by %s at %.2f s of the demo; nothing was kept\n",
                 signal_name(cut_by), frame * 0.02);
    return 128 + cut_by;
  }
  if (options.clip_first > 0 && frame <= options.clip_first)
    give_up("the demo ended at %.2f s, before the capture was to begin (--from %.2f)", frame * 0.02,
            options.clip_first * 0.02);
  if (!sound_ok) {
    discard_video();
    return 1;
  }

  std::fprintf(stderr,
               "qn-capture: %d frames (%.2f s of demo) in %.1f s, ended at position %d row %d\n",
               frame, frame * 0.02, wall_seconds(), end_position, end_row);
  if (failed) {
    discard_video();
    return 1;
  }
  if (video_started) {
    if (!video_mux(video_part_path(), capture_sound_path(), video_temp_path())) {
      std::fprintf(stderr, "qn-capture: ffmpeg could not write %s\n", options.video.c_str());
      discard_video();
      return 1;
    }
    std::remove(video_part_path().c_str());
  }
  if (!put_in_place()) {
    discard_video();
    return 1;
  }
  if (video_started &&
      std::rename(video_temp_path().c_str(), capture_path(options, options.video).c_str()) != 0) {
    std::fprintf(stderr, "qn-capture: ffmpeg could not write %s\n", options.video.c_str());
    discard_video();
    return 1;
  }
  placed = true;
  return 0;
}
