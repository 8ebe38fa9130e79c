#!/usr/bin/env bash
# qn under an X server with a private sound server: the start-up trace, the
# music heard on the sink, the orderly end on SIGTERM; then the failures of
# the music start-up (no module, not a module, no sound device) and SIGTERM
# before the handler is installed.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/audio.sh"
xvfb_start
audio_start_server
qn="$QN_BIN_DIR/qn"
work=$(mktemp -d)
cleanup_add rm -rf "$work"
cp "$QN_DATA_DIR/zorv.dat" "$QN_DATA_DIR/objs.3dw" "$QN_DATA_DIR/music.xm" "$work/"
cd "$work"
fail() { echo "FAIL: $*"; exit 1; }

wait_for_line() {  # file text seconds
  local i
  for i in $(seq 1 $(($3 * 10))); do
    grep -qF "$2" "$1" && return 0
    sleep 0.1
  done
  return 1
}

# --- a normal run, ended by SIGTERM -----------------------------------------
audio_record "$work/rec.wav"
timeout -k 5 60 "$qn" -w >out.txt 2>err.txt &
pid=$!
wait_for_line out.txt "Initiating joined sound and timer startup sequence..." 30 || fail "music never started"
sleep 5
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
audio_stop_record
[ "$status" -eq 0 ] || fail "status $status after SIGTERM"
expected="Initiating Mikmod startup sequence...
Initiating signalhander setup...
Initiating joined sound and timer startup sequence..."
grep -m1 -A2 -F "Initiating Mikmod startup sequence..." out.txt | diff - <(echo "$expected") || fail "music trace"
[ "$(tail -n1 out.txt)" = "*** Shutdown ***" ] || fail "last line: $(tail -n1 out.txt)"
level=$(audio_rms "$work/rec.wav")
echo "recorded RMS while qn ran: $level dBFS"
awk -v l="$level" 'BEGIN { exit !(l > -40) }' || fail "the music was not heard ($level dBFS)"

# --- no module, and a file that is not one -----------------------------------
check_load_failure() {
  local status=0
  timeout -k 5 60 "$qn" -w >out.txt 2>err.txt || status=$?
  [ "$status" -eq 1 ] || fail "$1: status $status"
  grep -q "^Unable to load module becouse: ." err.txt || fail "$1: $(cat err.txt)"
  grep -qF "Initiating Mikmod startup sequence..." out.txt || fail "$1: no start-up line"
  ! grep -qF "Initiating signalhander setup..." out.txt || fail "$1: went on after the failure"
}
mv music.xm real.xm
check_load_failure "missing music.xm"
head -c 5000 zorv.dat >music.xm
check_load_failure "not a module"
mv real.xm music.xm

# --- no sound device at all ---------------------------------------------------
status=0
PULSE_SERVER=unix:/nonexistent SDL_AUDIODRIVER=none timeout -k 5 60 "$qn" -w >out.txt 2>err.txt || status=$?
[ "$status" -eq 1 ] || fail "no device: status $status"
# One line of the demo's own: the sound libraries' probing is not shown.
[ "$(wc -l <err.txt)" -eq 1 ] && grep -q "^Mikmod: Unable to initialize mikmod: ." err.txt ||
  fail "no device: $(cat err.txt)"
[ ! -e music.wav ] && [ ! -e music.raw ] || fail "no device: a file driver wrote into the folder"

# --- SIGTERM during the pause, before the handler: the default action --------
# (line-buffered output so the trace shows when it is printed; no timeout
# wrapper in between, so the signal reaches qn itself)
stdbuf -oL "$qn" -w >out.txt 2>err.txt &
pid=$!
wait_for_line out.txt "Precalcing..." 30 || fail "no precalculation"
sleep 1
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 143 ] || fail "early SIGTERM: status $status"
! grep -qF "*** Shutdown ***" out.txt || fail "early SIGTERM ran the shut-down"
echo "all passed"
