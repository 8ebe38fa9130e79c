#!/usr/bin/env bash
# The run command without a display: it says why in one line, runs the
# capture program (a stand-in that records its arguments) with the right
# output for the machine, reports where the result is, and passes a failure
# on with the program's message and status.
set -euo pipefail
src=${QN_SOURCE_DIR:?}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/build/data"
cat > "$tmp/capture" <<'STUB'
#!/usr/bin/env bash
echo "$PWD" > "$QN_TEST_LOG.cwd"
printf '%s\n' "$@" > "$QN_TEST_LOG"
echo "*** ZORV Linux capture using a virtual clock and mikmod ***"
echo "qn-capture:  50% of the song, frame 10, 100 frames/s" >&2
if [ -n "${QN_TEST_FAIL:-}" ]; then echo "Unable to open zorv.dat"; exit 1; fi
echo "*** Shutdown ***"
STUB
chmod +x "$tmp/capture"

fail() { echo "FAIL: $*"; exit 1; }
run() {
  env -u DISPLAY QN_BUILD_DIR="$tmp/build" QN_DEMO_NO_BUILD=1 \
    QN_OUT_DIR="$tmp/out" QN_CAPTURE="$tmp/capture" QN_TEST_LOG="$tmp/args" \
    "$@" timeout -k 5 30 bash "$src/scripts/demo.sh" --max-seconds 3
}

# ffmpeg present: one video with sound, the arguments passed through.
run QN_FFMPEG=true > "$tmp/o" 2>&1 || fail "status $? with ffmpeg: $(cat "$tmp/o")"
[ "$(head -n 1 "$tmp/o")" = "qn: no display; rendering the demo to $tmp/out/qn.mp4 instead" ] ||
  fail "first line: $(head -n 1 "$tmp/o")"
grep -qx -- '--video' "$tmp/args" && grep -qx 'qn.mp4' "$tmp/args" || fail "no --video: $(cat "$tmp/args")"
grep -qx -- '--no-wav' "$tmp/args" && fail "the video would have no sound"
grep -qx -- '--max-seconds' "$tmp/args" || fail "arguments not passed through"
[ "$(cat "$tmp/args.cwd")" = "$tmp/build/data" ] || fail "not run from the data folder"
grep -q 'qn-capture:  50% of the song' "$tmp/o" || fail "progress line hidden"
grep -q 'ZORV' "$tmp/o" && fail "start-up trace on the terminal"
grep -qF "qn: done: $tmp/out/qn.mp4" <<<"$(tail -n 1 "$tmp/o")" || fail "result not named: $(tail -n 1 "$tmp/o")"
[ "$(wc -l < "$tmp/o")" -le 4 ] || fail "too much output: $(cat "$tmp/o")"

# No ffmpeg: PNG frames every 10th frame and a WAV.
run QN_FFMPEG=/nonexistent/ffmpeg > "$tmp/o" 2>&1 || fail "status $? without ffmpeg"
grep -qx -- '--png-every' "$tmp/args" && grep -qx '10' "$tmp/args" || fail "no PNGs: $(cat "$tmp/args")"
grep -qx -- '--video' "$tmp/args" && fail "asked for a video without ffmpeg"
grep -qx 'music.wav' "$tmp/args" || fail "no WAV"
grep -q "no ffmpeg" "$tmp/o" || fail "does not say why"

# A failing capture: its message and status reach the user, no "done".
status=0
run QN_FFMPEG=true QN_TEST_FAIL=1 > "$tmp/o" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "status $status for a failed capture"
grep -qx 'Unable to open zorv.dat' "$tmp/o" || fail "message lost: $(cat "$tmp/o")"
grep -q 'qn: done' "$tmp/o" && fail "failure reported as done"
echo "ok"
