// qn-capture's side of the display: every frame is recorded, and the quit
// poll, which the timeline calls once per frame, writes the frame's files and
// then advances virtual time by 20 ms (two clock steps).
#pragma once
#include <climits>
#include <string>

struct CaptureOptions {
  std::string out_dir = "capture";
  int png_every = 0;  // 0: no PNGs
  int png_first = 0;  // frame numbers, inclusive
  int png_last = INT_MAX;
  std::string wav = "music.wav";  // empty: sound mixed but not kept
  std::string log = "frames.csv";
  std::string video;  // empty: none
  int max_seconds = 600;  // of virtual time
};

enum class CaptureParse { run, help, error };

// Fills options from the command line; on error, *error says why.
CaptureParse capture_parse_options(int argc, char** argv, CaptureOptions* options, std::string* error);
extern const char* const CAPTURE_USAGE;

// Where a file named on the command line goes: relative names inside out_dir.
std::string capture_path(const CaptureOptions& options, const std::string& name);

// Before display_open: makes the folder, opens the log, checks for ffmpeg.
// False after printing one message.
bool capture_configure(const CaptureOptions& options);

// After the orderly shut-down (the WAV is complete): muxes the video.
// False after printing one message.
bool capture_finish();

// True when the capture gave up (song over before the closing row, time
// limit, a file that could not be written).
bool capture_failed();
