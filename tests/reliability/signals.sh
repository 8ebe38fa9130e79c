#!/usr/bin/env bash
# Signals at each phase of start-up and in the timeline, through the real qn
# under an X server with a sound server, and through qn-vga on a fake card in
# a terminal (tmux, and a pseudo-terminal of its own that types scancodes),
# whose settings must come back on every path:
#   tables being computed, the pause  SIGTERM: default action (status 143)
#   handler installed, music not yet  SIGTERM: music starts, timeline ends at
#                                     once, orderly shut-down, status 0
#   timeline                          SIGTERM: orderly shut-down, status 0
#   any phase                         SIGINT: default action (status 130)
# The hold library stops the program at each start-up point until the
# signals have been sent.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/audio.sh"
WORK=$(mktemp -d)
cleanup_add rm -rf "$WORK"
TMUX_SOCKET=""
SESSIONS=0
# tmux keeps its sockets under TMUX_TMPDIR, not TMPDIR.
export TMUX_TMPDIR=$WORK
stop_tmux() { [ -z "$TMUX_SOCKET" ] || tmux -L "$TMUX_SOCKET" kill-server 2>/dev/null || true; }
cleanup_add stop_tmux
xvfb_start
audio_start_server
export LSAN_OPTIONS="suppressions=$QN_SOURCE_DIR/tests/e2e/lib/lsan.supp:print_suppressions=0"
cp "$QN_DATA_DIR/zorv.dat" "$QN_DATA_DIR/objs.3dw" "$QN_DATA_DIR/music.xm" "$WORK/"
PRELOAD=$QN_BIN_DIR/tests/reliability/libreliability_hold.so
asan=$(ldd "$QN_BIN_DIR/qn" | awk '/libasan/ {print $3}')
[ -z "$asan" ] || PRELOAD="$asan:$PRELOAD"
failures=0

fail_case() {
  echo "FAIL $CASE: $*"
  echo "--- trace"; cat "$WORK/out" 2>/dev/null || true
  echo "--- standard error"; head -c 2000 "$WORK/err" 2>/dev/null || true
  failures=$((failures + 1))
}

wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
  local secs=$1 i
  shift
  for i in $(seq 1 $((secs * 20))); do
    "$@" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}
traced() { grep -q -x -F -- "$1" "$WORK/out"; }
gone() { ! kill -0 "$1"; }

# send SIGNAL COUNT PID: COUNT signals as fast as they go.
send() {
  local i
  for i in $(seq 1 "$2"); do kill -"$1" "$3" 2>/dev/null || break; done
}

# The end of a run: status, and whether the trace shows an orderly shut-down.
expect_end() {  # expect_end STATUS TRACE-TAIL...
  local want=$1
  shift
  [ "$STATUS" = "$want" ] || { fail_case "status $STATUS, not $want"; return; }
  local tail
  tail=$(tail -n $# "$WORK/out")
  [ "$tail" = "$(printf '%s\n' "$@")" ] || { fail_case "the trace does not end with: $*"; return; }
  [ "$(grep -c -x -F '*** Shutdown ***' "$WORK/out" || true)" -le 1 ] || { fail_case "shut down twice"; return; }
  echo "ok   $CASE"
}

# ---- qn ---------------------------------------------------------------------
# start_qn HOLD: qn -w in the background (SIGINT at its default even though
# the shell starts it in the background); PID is qn's own.
start_qn() {
  rm -f "$WORK"/{held,out,err}
  (cd "$WORK" && QN_HOLD=$1 QN_HOLD_FILE="$WORK/held" LD_PRELOAD="$PRELOAD" \
    exec env --default-signal=INT,TERM "$QN_BIN_DIR/qn" -w >"$WORK/out" 2>"$WORK/err") &
  PID=$!
}
# finish_qn SECONDS: waits for qn to end by itself; sets STATUS (killed: 137).
finish_qn() {
  if ! wait_for "$1" gone "$PID"; then
    kill -KILL "$PID" 2>/dev/null || true
  fi
  STATUS=0
  wait "$PID" || STATUS=$?
}
SHUTDOWN='*** Shutdown ***'
MUSIC_START='Initiating joined sound and timer startup sequence...'

for sig in TERM INT; do
  CASE="qn: SIG$sig while the tables are computed"
  start_qn precalc
  wait_for 120 test -e "$WORK/held" || fail_case "never reached the tables"
  send "$sig" 1 "$PID"
  finish_qn 30
  expect_end $((128 + $(kill -l $sig))) 'Precalcing...'

  CASE="qn: SIG$sig in the pause"
  start_qn pause
  wait_for 120 test -e "$WORK/held" || fail_case "never reached the pause"
  send "$sig" 1 "$PID"
  finish_qn 30
  expect_end $((128 + $(kill -l $sig))) 'Precalcing...'
done

for count in 1 200; do
  CASE="qn: $count SIGTERM after the handler is installed, before the music"
  start_qn handler
  wait_for 120 test -e "$WORK/held" || fail_case "never reached the handler"
  send TERM "$count" "$PID"
  rm -f "$WORK/held"
  finish_qn 30
  expect_end 0 'Initiating signalhander setup...' "$MUSIC_START" "$SHUTDOWN"
done

CASE="qn: SIGINT after the handler is installed"
start_qn handler
wait_for 120 test -e "$WORK/held" || fail_case "never reached the handler"
send INT 1 "$PID"
finish_qn 30
expect_end 130 'Initiating signalhander setup...'

# In the timeline, with the sound recorded: the music plays until the signal.
for count in 1 500; do
  CASE="qn: $count SIGTERM in the timeline"
  start_qn none
  wait_for 120 traced "$MUSIC_START" || fail_case "the music never started"
  audio_record "$WORK/sound.wav"
  sleep 3
  send TERM "$count" "$PID"
  finish_qn 30
  audio_stop_record
  level=$(audio_rms "$WORK/sound.wav")
  awk -v l="$level" 'BEGIN { exit !(l > -50) }' || fail_case "silent while it ran ($level dBFS)"
  expect_end 0 "$MUSIC_START" "$SHUTDOWN"
done

CASE="qn: SIGINT in the timeline"
start_qn none
wait_for 120 traced "$MUSIC_START" || fail_case "the music never started"
sleep 2
send INT 1 "$PID"
finish_qn 30
expect_end 130 "$MUSIC_START"

# ---- qn-vga in a terminal -----------------------------------------------------
# The pane runs one program and keeps the terminal's settings before and after.
cat >"$WORK/pane.sh" <<EOF
cd "$WORK"
stty -g >settings.before
QN_HOLD=\$1 QN_HOLD_FILE="$WORK/held" LD_PRELOAD="$PRELOAD" VGA_FAKE_CARD=54:linear \\
  VGA_FAKE_MEMORY="$WORK/card" bash -c 'echo \$\$ >pid; exec "\$0"' "$QN_BIN_DIR/qn-vga" >out 2>err
echo \$? >status.new
stty -g >settings.after
mv status.new status
sleep 600
EOF
# start_vga HOLD: a fresh session; PID is qn-vga's own and TTY its terminal.
start_vga() {
  [ -z "$TMUX_SOCKET" ] || tmux -L "$TMUX_SOCKET" kill-server 2>/dev/null || true
  SESSIONS=$((SESSIONS + 1))
  TMUX_SOCKET=qn-rel-$$-$SESSIONS
  rm -f "$WORK"/{held,pid,status,settings.before,settings.after,out,err}
  tmux -L "$TMUX_SOCKET" new-session -d -x 80 -y 25 "bash $WORK/pane.sh $1"
  wait_for 120 test -s "$WORK/pid" || { fail_case "qn-vga did not start"; return 1; }
  PID=$(cat "$WORK/pid")
  TTY=$(tmux -L "$TMUX_SOCKET" display -p '#{pane_tty}')
}
finish_vga() {
  if ! wait_for "$1" test -e "$WORK/status"; then
    kill -KILL "$PID" 2>/dev/null || true
    wait_for 5 test -e "$WORK/status" || true
  fi
  STATUS=$(cat "$WORK/status" 2>/dev/null || echo none)
  if ! cmp -s "$WORK/settings.before" "$WORK/settings.after"; then
    fail_case "the terminal was left changed: $(cat "$WORK/settings.before") became $(cat "$WORK/settings.after" 2>/dev/null)"
    STATUS=changed
  fi
}

for sig in TERM INT; do
  CASE="qn-vga: SIG$sig while the tables are computed"
  if start_vga precalc; then
    wait_for 120 test -e "$WORK/held" || fail_case "never reached the tables"
    send "$sig" 1 "$PID"
    finish_vga 60
    [ "$STATUS" = changed ] || expect_end $((128 + $(kill -l $sig))) 'Precalcing...'
  fi
done

CASE="qn-vga: SIGTERM in the pause"
if start_vga pause; then
  wait_for 120 test -e "$WORK/held" || fail_case "never reached the pause"
  send TERM 1 "$PID"
  finish_vga 60
  [ "$STATUS" = changed ] || expect_end 143 'Precalcing...'
fi

CASE="qn-vga: 200 SIGTERM after the handler is installed"
if start_vga handler; then
  wait_for 120 test -e "$WORK/held" || fail_case "never reached the handler"
  send TERM 200 "$PID"
  rm -f "$WORK/held"
  finish_vga 60
  [ "$STATUS" = changed ] || expect_end 0 "$MUSIC_START" "$SHUTDOWN"
fi

for what in TERM:1 TERM:500 INT:1; do
  sig=${what%:*} count=${what#*:}
  CASE="qn-vga: $count SIG$sig in the timeline"
  if start_vga none; then
    wait_for 120 grep -q -F "$MUSIC_START" "$WORK/out" || fail_case "the music never started"
    sleep 2
    # While it runs the terminal is raw: what the restore has to undo.
    [ "$(stty -g <"$TTY")" != "$(cat "$WORK/settings.before")" ] || fail_case "the terminal was never changed"
    send "$sig" "$count" "$PID"
    finish_vga 60
    if [ "$STATUS" != changed ]; then
      if [ "$sig" = TERM ]; then expect_end 0 "$MUSIC_START" "$SHUTDOWN"; else expect_end 130 "$MUSIC_START"; fi
    fi
  fi
done

# ---- qn-vga on a pseudo-terminal of its own ------------------------------------
# The keyboard is raw: 0x03, 0x1C and 0x1A, which a cooked terminal turns into
# SIGINT, SIGQUIT and SIGTSTP, are the scancodes of ordinary keys and end the
# demo as any key does. SIGTSTP from outside does not stop it in graphics mode;
# other signals end it with the terminal given back (pty_run checks that).
ulimit -c 0
run_pty() {  # run_pty ACTION...: sets STATUS
  STATUS=0
  (cd "$WORK" && VGA_FAKE_CARD=54:linear timeout -k 5 120 \
    "$QN_BIN_DIR/tests/reliability/reliability_pty_run" "$@" -- "$QN_BIN_DIR/qn-vga" \
    >"$WORK/out" 2>"$WORK/err") || STATUS=$?
}
for action in x03 x1c x1a "TSTP x1c"; do
  CASE="qn-vga on a pseudo-terminal: $action"
  run_pty $action
  expect_end 0 "$MUSIC_START" "$SHUTDOWN"
done
for sig in QUIT HUP ABRT; do
  CASE="qn-vga on a pseudo-terminal: SIG$sig"
  run_pty $sig
  expect_end $((128 + $(kill -l $sig)))
done

echo "$failures failed"
[ "$failures" = 0 ]
