#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the demo.
#
# With a display (DISPLAY set and the X server answering) and a sound device
# it runs qn in a window from the folder that holds the data files: the
# largest whole multiple of 320x240 that is at most about two thirds of the
# desktop's height ("-w3" on a 1080-line desktop, "-w" below 720 lines); the
# arguments go to qn, and one beginning with -w chooses the window instead.
# Without either it says so in one line and renders the whole demo with
# qn-capture instead: to out/qn.mp4 when ffmpeg is installed, else every 10th
# frame as PNG plus out/music.wav; the arguments then go to qn-capture (e.g.
# --to 30 for the first 30 seconds).
#
# Environment:
#   QN_BUILD_DIR      build folder (default build/ of the checkout)
#   QN_OUT_DIR        where the capture goes (default out/ of the checkout)
#   QN_DEMO_NO_BUILD  1: skip installing and building (the build must exist)
#   QN_CAPTURE        the capture program to run (default $QN_BUILD_DIR/qn-capture)
#   QN_FFMPEG         the encoder program looked for (default ffmpeg)
#   QN_DEMO_MODE      window or capture: skip the display and sound checks
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
out=${QN_OUT_DIR:-$top/out}
capture=${QN_CAPTURE:-$build/qn-capture}
ffmpeg=${QN_FFMPEG:-ffmpeg}

if [ "${QN_DEMO_NO_BUILD:-0}" != 1 ]; then
  bash "$top/scripts/install-deps.sh"
  # Watching needs neither tests nor benchmarks: a new build folder leaves
  # them out (the test command turns them on); an existing one keeps its choice.
  configure=()
  [ -f "$build/CMakeCache.txt" ] || configure=(-DQN_TESTS=OFF -DQN_BENCH=OFF)
  QN_BUILD_DIR=$build bash "$top/scripts/build.sh" "${configure[@]}"
fi

have_display() {
  [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null 2>&1 &&
    timeout -k 2 5 xdpyinfo >/dev/null 2>&1
}

# Any output libmikmod could open: a sound server, an ALSA playback device,
# OSS, or an SDL audio driver the user chose.
have_sound() {
  [ -n "${SDL_AUDIODRIVER:-}" ] && return 0
  if command -v pactl >/dev/null 2>&1 && timeout -k 2 5 pactl info >/dev/null 2>&1; then
    return 0
  fi
  compgen -G '/dev/snd/pcmC*D*p' >/dev/null && return 0
  [ -c /dev/dsp ]
}

mode=${QN_DEMO_MODE:-}
reason=""
if [ -z "$mode" ]; then
  if ! have_display; then
    reason="no display"
  elif ! have_sound; then
    reason="no sound device"
  fi
  if [ -n "$reason" ]; then mode=capture; else mode=window; fi
fi

# The desktop's height in lines, or nothing.
desktop_height() {
  { timeout -k 2 5 xdpyinfo 2>/dev/null || true; } |
    awk '/dimensions:/ { split($2, size, "x"); print size[2]; exit }'
}

# "-wN" for the largest N (2..8) with 240*N lines within two thirds of the
# desktop's height, "-w" when not even 2 fits.
window_switch() {
  local height factor
  height=$(desktop_height)
  factor=$(( ${height:-0} * 2 / 3 / 240 ))
  [ "$factor" -le 8 ] || factor=8
  if [ "$factor" -ge 2 ]; then echo "-w$factor"; else echo "-w"; fi
}

cd "$build/data"
if [ "$mode" = window ]; then
  case ${1:-} in
    -w*) exec ../qn "$@" ;;
    *) exec ../qn "$(window_switch)" "$@" ;;
  esac
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
if command -v "$ffmpeg" >/dev/null 2>&1; then
  echo "qn: ${reason:-capture mode}; rendering the demo to $out/qn.mp4 instead"
  what=(--video qn.mp4)
  result="$out/qn.mp4"
else
  echo "qn: ${reason:-capture mode} and no ffmpeg; rendering every 10th frame as PNG and the sound as WAV to $out instead"
  what=(--png-every 10 --wav music.wav)
  result="$out/frame-*.png and $out/music.wav"
fi
# The start-up trace goes to a log; the progress line and any failure show.
status=0
"$capture" -o "$out" "${what[@]}" "$@" >"$out/qn-capture.log" || status=$?
if [ "$status" -ne 0 ]; then
  cat "$out/qn-capture.log" >&2
  echo "qn: the capture failed (status $status); its log is $out/qn-capture.log" >&2
  exit "$status"
fi
echo "qn: done: $result (per-frame log $out/frames.csv)"
