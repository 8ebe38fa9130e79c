#!/usr/bin/env bash
# How far the picture is from the sound as a person hears it: a benchmark,
# not a test. Under a private X server, with the sound on a private sound
# server's null sink, one ffmpeg process records the screen (100 frames/s)
# and the sink's monitor, both stamped by the wall clock. A recorder check
# comes first: short tones, the screen turning white as the server says each
# one plays. Then, for each sound path and run, qn -w plays past its tenth
# flash; each flash is found on screen by brightness and its beat in the
# sound by following qn-capture's music.wav through the recording.
# Offsets are on screen minus heard, in ms (negative: the picture is early);
# each path's summary is also given less the recorder check's median (the
# screen's stamps against the sound's, for events the server says coincide).
#
#   scripts/avsync.sh [--runs N] [--paths "default alsa server page"] [--build DIR] [--keep DIR]
# (--keep: the recordings and the reference run stay in DIR, a new folder)
#
# Paths: default (SDL on the sound server), alsa (SDL through ALSA's plugin
# for the server), server (SDL's audio unavailable: the sound-server output),
# page (the browser build in chromium, its window filling the screen).
# Needs the build's qn, qn-capture and data (scripts/build.sh), Xvfb,
# pulseaudio, ffmpeg and python3; the page also the browser build and its
# test's puppeteer-core ($QN_WEB_BUILD_DIR, default build-web/: scripts/web.sh --test).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
web=${QN_WEB_BUILD_DIR:-$top/build-web}
runs=3
paths="default alsa server page"
keep=""
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --paths) paths=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    *) echo "usage: scripts/avsync.sh [--runs N] [--paths \"default alsa server page\"] [--build DIR] [--keep DIR]" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" && pwd)
for f in qn qn-capture data/music.xm; do
  [ -e "$build/$f" ] || { echo "avsync: $build/$f is missing (scripts/build.sh makes it)" >&2; exit 1; }
done
for path in $paths; do
  case $path in
    default | alsa | server) ;;
    page)
      for f in qn.html web-test/node_modules/puppeteer-core; do
        [ -e "$web/$f" ] || { echo "avsync: $web/$f is missing (scripts/web.sh --test makes it)" >&2; exit 1; }
      done ;;
    *) echo "avsync: unknown path $path" >&2; exit 2 ;;
  esac
done

source "$top/tests/e2e/lib/cleanup.sh"
source "$top/tests/e2e/lib/xvfb.sh"
source "$top/tests/e2e/lib/audio.sh"
unset SDL_AUDIODRIVER
if [ -n "$keep" ]; then
  mkdir "$keep"
  work=$(cd "$keep" && pwd)
else
  work=$(mktemp -d)
  cleanup_add rm -rf "$work"
fi
ln -s "$build"/data/* "$work/"

echo "avsync: qn-capture's reference run"
(cd "$work" && "$build/qn-capture" -o ref --to 75 >/dev/null 2>&1)
ln -s "$build/data/music.xm" "$work/ref/music.xm"

xvfb_start 640x480x24
audio_start_server
# A sink at the mixing rate: the recorded sound is then the mixed sound bit for bit.
pactl load-module module-null-sink sink_name=avsync rate=44100 channels=2 norewinds=1 >/dev/null
pactl set-default-sink avsync

RECORDER=""
stop_recorder() {
  if [ -n "$RECORDER" ]; then
    kill -INT "$RECORDER" 2>/dev/null || true
    wait "$RECORDER" 2>/dev/null || true
    RECORDER=""
  fi
}
cleanup_add stop_recorder
QN_RUNNING=""
stop_qn() {
  if [ -n "$QN_RUNNING" ]; then
    kill "$QN_RUNNING" 2>/dev/null || true
    wait "$QN_RUNNING" 2>/dev/null || true
    QN_RUNNING=""
  fi
}
cleanup_add stop_qn

# record DIR: screen and sink monitor until stop_recorder.
record() {
  local dir=$1
  mkdir -p "$dir"
  ffmpeg -hide_banner -nostdin -loglevel info -copyts \
    -f x11grab -framerate 100 -video_size 640x480 -draw_mouse 0 -i "$DISPLAY" \
    -f pulse -sample_rate 44100 -channels 2 -i avsync.monitor \
    -map 0:v -vf "scale=80:60:flags=area,signalstats,metadata=mode=print:key=lavfi.signalstats.YAVG:file=$dir/bright.txt" \
    -fps_mode passthrough -f null - \
    -map 1:a -af ashowinfo -f s16le -c:a pcm_s16le "$dir/sound.raw" 2>"$dir/ffmpeg.log" &
  RECORDER=$!
  # Going once the first sound is in.
  local _
  for _ in $(seq 1 100); do
    grep -q "Parsed_ashowinfo.*n:0 " "$dir/ffmpeg.log" 2>/dev/null && break
    sleep 0.1
  done
  # The filter's time base is one sound frame.
  sed -n 's/.*Parsed_ashowinfo.* n:0 pts:\([0-9]*\) .*/\1/p' "$dir/ffmpeg.log" |
    awk '{ printf "%.6f\n", $1 / 44100 }' >"$dir/sound.start"
  [ -s "$dir/sound.start" ] || { echo "avsync: the recorder did not start" >&2; cat "$dir/ffmpeg.log" >&2; exit 1; }
}

# stats LABEL FILE [BIAS]: median and range of the numbers in FILE, as
# recorded and, given the recorder's bias, less it.
stats() {
  sort -g "$2" | awk -v label="$1" -v bias="${3:-}" '$1 != "-" { v[n++] = $1 }
    END { if (!n) { printf "%-10s no flashes found\n", label; exit }
          m = n % 2 ? v[(n - 1) / 2] : (v[n / 2 - 1] + v[n / 2]) / 2
          printf "%-10s median %6.1f ms  range %6.1f..%6.1f ms  (%d events)", label, m, v[0], v[n - 1], n
          if (bias != "") printf "; less the recorder: median %6.1f, range %6.1f..%6.1f", m - bias, v[0] - bias, v[n - 1] - bias
          printf "\n" }'
}
# median FILE: the median alone.
median() {
  sort -g "$1" | awk '$1 != "-" { v[n++] = $1 } END { if (n) print n % 2 ? v[(n - 1) / 2] : (v[n / 2 - 1] + v[n / 2]) / 2 }'
}

echo "avsync: recorder check"
record "$work/probe"
python3 "$top/scripts/avsync.py" probe 10
sleep 0.5
stop_recorder
python3 "$top/scripts/avsync.py" tones "$work/probe" | tee "$work/probe.txt" | paste -sd' ' | sed 's/^/  tones: /'
stats recorder "$work/probe.txt"
bias=$(median "$work/probe.txt")

for path in $paths; do
  case $path in
    default | page) env=() ;;
    alsa) env=(SDL_AUDIODRIVER=alsa) ;;
    server) env=(SDL_AUDIODRIVER=none) ;;
  esac
  : >"$work/$path.txt"
  for run in $(seq 1 "$runs"); do
    dir=$work/$path-$run
    record "$dir"
    if [ "$path" = page ]; then
      # The page computes its tables more slowly: some 20 s more start-up.
      NODE_PATH=$web/web-test/node_modules node "$top/scripts/avsync-page.js" "$web" \
        "${AVSYNC_PAGE_SECONDS:-100}" >"$dir/qn.out" 2>"$dir/qn.err" || cat "$dir/qn.err" >&2
    else
      (cd "$work" && exec env "${env[@]}" "$build/qn" -w >"$dir/qn.out" 2>"$dir/qn.err") &
      QN_RUNNING=$!
      # The tenth flash comes 67.5 s into the song, after some 5 to 10 s of start-up.
      sleep "${AVSYNC_SECONDS:-80}"
      stop_qn
    fi
    stop_recorder
    python3 "$top/scripts/avsync.py" flashes "$dir" "$work/ref" >"$dir/offsets.txt"
    paste -sd' ' "$dir/offsets.txt" | sed "s/^/  $path run $run: /"
    cat "$dir/offsets.txt" >>"$work/$path.txt"
  done
  stats "$path" "$work/$path.txt" "$bias"
done
