# qn -w under Xvfb with a private sound server, from the built data files:
# after the loading picture the scenes run (the window keeps changing, the
# music is heard), and a key press ends the demo with status 0 and the
# shut-down line last.
set -euo pipefail
data=$QN_DATA_DIR
for f in zorv.dat objs.3dw music.xm; do
  [ -f "$data/$f" ] || { echo "skipped: no $f"; exit 0; }
done
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/audio.sh"
work=$(mktemp -d)
cleanup_add rm -rf "$work"
qn_pid=""
stop_qn() { [ -z "$qn_pid" ] || kill "$qn_pid" 2>/dev/null || true; }
cleanup_add stop_qn
fail() { echo "FAIL: $*" >&2; cat "$work/out" "$work/err" >&2 2>/dev/null || true; exit 1; }

xvfb_start 640x480x24
audio_start_server
audio_record "$work/heard.wav"

(cd "$data" && exec timeout -k 5 120 "$QN_BIN_DIR/qn" -w >"$work/out" 2>"$work/err") &
qn_pid=$!
window=$(xvfb_wait_window Quillion "$qn_pid") || fail "no window titled Quillion"

# The loading picture, then the 3-second pause, then the first scene.
xvfb_screenshot "$work/loading.png" "$window"
for i in $(seq 1 1000); do
  grep -q "Initiating joined sound" "$work/out" && break
  sleep 0.1
done
grep -q "Initiating joined sound" "$work/out" || fail "the music never started"
sleep 1
xvfb_screenshot "$work/a.png" "$window"
sleep 1
xvfb_screenshot "$work/b.png" "$window"
[ "$(xvfb_pixel_diff "$work/loading.png" "$work/a.png")" -gt 1000 ] || fail "still the loading picture"
[ "$(xvfb_pixel_diff "$work/a.png" "$work/b.png")" -gt 1000 ] || fail "the scene does not move"

xdotool mousemove --window "$window" 5 5 key space 2>/dev/null || true
status=0
wait "$qn_pid" || status=$?
qn_pid=""
[ "$status" = 0 ] || fail "qn ended with status $status"
[ "$(tail -n1 "$work/out")" = "*** Shutdown ***" ] || fail "the trace does not end with the shut-down line"

audio_stop_record
rms=$(audio_rms "$work/heard.wav")
awk -v r="$rms" 'BEGIN { exit !(r > -50) }' || fail "no music heard (RMS $rms dBFS)"
echo ok
