#!/usr/bin/env bash
# qn for two minutes with the sound server while a flood of pointer motion
# arrives and frames are presented uncapped: it must not hang, must end on
# SIGTERM with status 0, and must draw as many frames a second with music
# (within 10%) as with the timer running and nothing to mix.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/audio.sh"
xvfb_start
audio_start_server
work=$(mktemp -d)
cp "$QN_DATA_DIR/zorv.dat" "$QN_DATA_DIR/objs.3dw" "$work/"
"$QN_BIN_DIR/tests/music/make_stress_modules" "$work"
cd "$work"
fail() { echo "FAIL: $*"; exit 1; }
# A sanitised build needs its runtime ahead of the counter.
preload="$QN_BIN_DIR/tests/music/libmusic_frame_counter.so"
asan=$(ldd "$QN_BIN_DIR/qn" | awk '/libasan/ {print $3}')
[ -z "$asan" ] || preload="$asan:$preload"

# Prints frames per second over `secs` seconds of a run with module $1.
run() {
  local module=$1 secs=$2 status=0 pid flood a b
  cp "$module" music.xm
  QN_FRAME_COUNT="$work/frames" LD_PRELOAD="$preload" \
    timeout -k 5 $((secs + 60)) "$QN_BIN_DIR/qn" -w >out.txt 2>err.txt &
  pid=$!
  for _ in $(seq 1 300); do grep -q "joined sound" out.txt 2>/dev/null && break; sleep 0.1; done
  sleep 3
  ( while :; do xdotool mousemove --sync $((RANDOM % 320)) $((RANDOM % 240)) 2>/dev/null || true; done ) &
  flood=$!
  a=$(cat frames 2>/dev/null || echo 0)
  sleep "$secs"
  b=$(cat frames 2>/dev/null || echo 0)
  kill "$flood"; wait "$flood" 2>/dev/null || true
  kill -TERM "$pid"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "$module: status $status (124 is a hang)"
  [ "$(tail -n1 out.txt)" = "*** Shutdown ***" ] || fail "$module: no orderly shut-down"
  awk -v a="$a" -v b="$b" -v s="$secs" 'BEGIN { printf "%.1f\n", (b - a) / s }'
}

with_music=$(run long.xm 120)
without=$(run silent.xm 40)
echo "frames per second: $with_music with music, $without without mixing"
awk -v m="$with_music" -v n="$without" 'BEGIN { exit !(n > 0 && m >= 0.9 * n) }' || fail "music costs more than 10% of the frames"
echo "all passed"
