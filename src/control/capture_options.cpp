// qn-capture's command line.
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "control/capture.h"
#include "control/capture_scale.h"

const char* const CAPTURE_USAGE =
    "Usage: qn-capture [options]\n"
    "Runs the demo from the data files in the current folder (or --data) on a\n"
    "virtual clock (20 ms per frame, faster than real time) and writes what it\n"
    "shows and plays.\n"
    "\n"
    "  -o, --out DIR        output folder, made if missing (default \"capture\")\n"
    "  --data DIR           read zorv.dat, objs.3dw and music.xm from DIR (default:\n"
    "                       the current folder; the installed data when installed)\n"
    "  --png-every N        write every Nth frame as frame-NNNNNN.png (default 0: none)\n"
    "  --png-from SECONDS   write PNGs only from this time on (default 0)\n"
    "  --png-to SECONDS     ... and only up to this time (default: the end)\n"
    "  --wav FILE           the sound as a WAV file (default \"music.wav\")\n"
    "  --no-wav             mix the sound without keeping it\n"
    "  --log FILE           per-frame CSV log (default \"frames.csv\")\n"
    "  --video FILE.mp4     encode pictures and sound with the ffmpeg program:\n"
    "                       H.264 (4:2:0, constant quality) with AAC sound\n"
    "  --video-lossless     ... as lossless RGB H.264 instead: every pixel exact,\n"
    "                       larger, and not every player shows it\n"
    "  --scale N            PNGs and video N times larger, 1 to 8 (default 1);\n"
    "                       each pixel becomes an N x N block\n"
    "  --from SECONDS       capture the demo from this time on (default 0)\n"
    "  --to SECONDS         ... up to this time, then end the run (default: the end)\n"
    "  --max-seconds S      give up after S seconds of virtual time (default 600)\n"
    "  -h, --help           show this text\n"
    "\n"
    "The output folder is where the run was started, with --data too; relative\n"
    "file names are inside the output folder. PNG frame numbers count\n"
    "from the first frame of the first scene; frame N is at N * 0.02 seconds.\n"
    "A run that reaches --to, or the demo's end, is a success; --max-seconds is\n"
    "a safety limit, and a run stopped by it fails.\n";

namespace {
bool parse_int(const char* s, int lo, int hi, int* out) {
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(s, &end, 10);
  if (errno != 0 || end == s || *end != '\0' || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

// Seconds to a frame number: the first frame at or after (round_up) or at
// or before the time.
bool parse_seconds(const char* s, bool round_up, int* frame) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(s, &end);
  if (errno != 0 || end == s || *end != '\0' || !(v >= 0.0 && v <= 1e6)) return false;
  const double f = v * 50.0;
  *frame = static_cast<int>(round_up ? std::ceil(f - 1e-6) : std::floor(f + 1e-6));
  return true;
}
}  // namespace

CaptureParse capture_parse_options(int argc, char** argv, CaptureOptions* o, std::string* error) {
  bool range_given = false, no_wav = false, lossless = false;
  for (int i = 1; i < argc; i++) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") return CaptureParse::help;
    if (arg == "--no-wav") {
      no_wav = true;
      continue;
    }
    if (arg == "--video-lossless") {
      lossless = true;
      continue;
    }
    const bool takes_value = arg == "-o" || arg == "--out" || arg == "--png-every" ||
                             arg == "--png-from" || arg == "--png-to" || arg == "--wav" ||
                             arg == "--log" || arg == "--video" || arg == "--max-seconds" ||
                             arg == "--from" || arg == "--to" || arg == "--scale" ||
                             arg == "--data";
    if (!takes_value) {
      *error = "unknown option '" + arg + "'";
      return CaptureParse::error;
    }
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
      *error = "option '" + arg + "' needs a value";
      return CaptureParse::error;
    }
    const char* v = argv[++i];
    bool ok = true;
    if (arg == "-o" || arg == "--out")
      o->out_dir = v;
    else if (arg == "--png-every")
      ok = parse_int(v, 0, INT_MAX, &o->png_every);
    else if (arg == "--png-from")
      ok = range_given = parse_seconds(v, true, &o->png_first);
    else if (arg == "--png-to")
      ok = range_given = parse_seconds(v, false, &o->png_last);
    else if (arg == "--data")
      o->data_dir = v;
    else if (arg == "--wav")
      o->wav = v;
    else if (arg == "--log")
      o->log = v;
    else if (arg == "--video")
      o->video = v;
    else if (arg == "--from")
      ok = parse_seconds(v, true, &o->clip_first);
    else if (arg == "--to")
      ok = parse_seconds(v, true, &o->clip_end);
    else if (arg == "--scale")
      ok = parse_int(v, 1, CAPTURE_MAX_SCALE, &o->scale);
    else
      ok = parse_int(v, 1, 86400, &o->max_seconds);
    if (!ok) {
      *error = "bad value '" + std::string(v) + "' for " + arg;
      return CaptureParse::error;
    }
  }
  if (o->png_first > o->png_last) {
    *error = "--png-from is later than --png-to";
    return CaptureParse::error;
  }
  if (o->clip_first >= o->clip_end) {
    *error = "--to must be later than --from";
    return CaptureParse::error;
  }
  if (range_given && o->png_every == 0) o->png_every = 1;  // a range alone means every frame in it
  if (lossless && o->video.empty()) {
    *error = "--video-lossless needs --video";
    return CaptureParse::error;
  }
  o->video_lossless = lossless;
  if (no_wav) {
    if (!o->video.empty()) {
      *error = "--video needs the sound: drop --no-wav";
      return CaptureParse::error;
    }
    o->wav.clear();
  }
  return CaptureParse::run;
}

bool capture_enter_data_folder(CaptureOptions* o, std::string* error) {
  if (o->data_dir.empty()) return true;
  if (o->out_dir[0] != '/') {
    char* here = getcwd(nullptr, 0);
    if (!here) {
      *error = std::string("cannot tell the current folder: ") + std::strerror(errno);
      return false;
    }
    o->out_dir = std::string(here) + "/" + o->out_dir;
    std::free(here);
  }
  if (chdir(o->data_dir.c_str()) != 0) {
    *error = "cannot use the data folder " + o->data_dir + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

std::string capture_path(const CaptureOptions& o, const std::string& name) {
  if (name.empty() || name[0] == '/') return name;
  return o.out_dir + "/" + name;
}
