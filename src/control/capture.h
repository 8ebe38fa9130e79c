// The capture program's control code: its command line, its output folder
// and files, and the work it does once a frame through the timeline's frame
// hook (log line, PNG, video frame, 20 ms of virtual time, the song and time
// limits, the progress line).
#pragma once
#include <climits>
#include <string>

struct TimelineState;

struct CaptureOptions {
  std::string out_dir = "capture";
  std::string data_dir;  // empty: the current folder
  int png_every = 0;     // 0: no PNGs
  int png_first = 0;     // frame numbers, inclusive
  int png_last = INT_MAX;
  std::string wav = "music.wav";  // empty: sound mixed but not kept
  std::string log = "frames.csv";
  std::string video;  // empty: none
  bool video_lossless = false;
  int scale = 1;          // PNGs and video, each pixel an n x n block
  int max_seconds = 600;  // of virtual time
  int clip_first = 0;     // the stretch captured, in frames: [clip_first, clip_end)
  int clip_end = INT_MAX;
};

enum class CaptureParse { run, help, error };

// Fills options from the command line; on error, *error says why.
CaptureParse capture_parse_options(int argc, char** argv, CaptureOptions* options,
                                   std::string* error);
extern const char* const CAPTURE_USAGE;

// With --data: the output folder made absolute, so that it keeps its
// meaning, then into the data folder, where start-up opens the data files.
// False, with *error saying why, when the folder cannot be entered.
bool capture_enter_data_folder(CaptureOptions* options, std::string* error);

// Where a file named on the command line goes: relative names inside out_dir.
std::string capture_path(const CaptureOptions& options, const std::string& name);

// Before start-up: routes SIGTERM, SIGINT and SIGHUP to the demo's handler,
// checks the video's name and ffmpeg, makes the folder and opens the log.
// False after printing one message. Should the process exit without a
// successful capture_finish, the files and folders made for the run go again.
bool capture_configure(const CaptureOptions& options);

// Where the sound is written: the WAV's temporary name, or /dev/null.
std::string capture_sound_path();

// The frame hook: writes the frame the capture screen shows, then advances
// virtual time by 20 ms (two clock steps). Gives up (clearing demo_running)
// when the song ends before the closing row, at the time limit, or when a
// file cannot be written.
void capture_frame(const TimelineState& timeline);

// After the orderly shut-down (the WAV is complete): the last progress line,
// the log and the video closed, the summary, the video's sound, and every
// file put in place. The exit status: 0; 1, after its message, when anything
// failed (the sound, sound_ok false; a file; the run gave up); 128 + the
// signal, after one line, when a signal cut the run short.
int capture_finish(bool sound_ok);
