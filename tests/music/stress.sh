#!/usr/bin/env bash
# qn for two minutes with the sound server while a flood of pointer motion
# arrives and frames are presented uncapped: it must keep drawing, must not
# hang, and must end on SIGTERM with status 0.
#   stress.sh                the test
#   stress.sh --cost SECS    what the music costs: frames per second with music
#                            and with the timer running and nothing to mix, and
#                            their ratio (a measurement: scripts/bench.sh)
set -euo pipefail
mode=test
[ "${1:-}" = "--cost" ] && mode=cost && cost_secs=${2:?--cost needs seconds}
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/audio.sh"
xvfb_start
audio_start_server
work=$(mktemp -d)
cleanup_add rm -rf "$work"
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
  for _ in $(seq 1 3000); do grep -q "joined sound" out.txt 2>/dev/null && break; sleep 0.1; done
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
  [ "$b" -gt "$a" ] || fail "$module: no frame presented in $secs s of the flood"
  awk -v a="$a" -v b="$b" -v s="$secs" 'BEGIN { printf "%.1f\n", (b - a) / s }'
}

if [ $mode = cost ]; then
  with_music=$(run long.xm "$cost_secs")
  without=$(run silent.xm "$cost_secs")
  awk -v m="$with_music" -v n="$without" 'BEGIN {
    printf "frames per second under an input flood: %.1f with music, %.1f without mixing: ratio %.2f (goal 0.90: %s)\n",
           m, n, (n > 0 ? m / n : 0), (n > 0 && m >= 0.9 * n ? "met" : "missed") }'
  exit 0
fi
fps=$(run long.xm 120)
echo "frames per second with music under the flood: $fps (a measurement, not a verdict)"
echo "all passed"
