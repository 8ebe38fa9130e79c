#!/usr/bin/env bash
# qn-vga end to end on fake cards whose pixel memory is a file: the loading
# picture on a larger screen, SIGINT without a terminal, and whole runs (with a short song) whose final picture equals the
# closing picture and qn-capture's last frame.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/audio.sh"
audio_start_server

work=$(mktemp -d)
cleanup_add rm -rf "$work"
cp "$QN_DATA_DIR/zorv.dat" "$QN_DATA_DIR/objs.3dw" "$work/"
"$QN_BIN_DIR/tests/display/vga/vga_short_song" "$work/music.xm"
mkdir -p "$work/entries"
"$QN_BIN_DIR/tools/zorv/zorvdump" "$work/zorv.dat" "$work/entries" >/dev/null
frames="perl $QN_SOURCE_DIR/tests/display/vga/frames.pl"
fail() { echo "FAIL: $*"; exit 1; }

# The loading picture on a 640x480 screen, scaled 2x, in the pause (held
# there by the hold library however slow the machine is); then SIGTERM
# during the pause: the default action ends it.
(cd "$work" && VGA_FAKE_CARD="54:linear" VGA_FAKE_SCREEN=640x480 VGA_FAKE_MEMORY="$work/mem32" \
  QN_HOLD=pause QN_HOLD_FILE="$work/held" LD_PRELOAD="$QN_BIN_DIR/tests/reliability/libreliability_hold.so" \
  exec timeout -k 5 120 "$QN_BIN_DIR/qn-vga" >"$work/out32" 2>&1) &
pid=$!
for _ in $(seq 1 600); do [ -e "$work/held" ] && break; sleep 0.1; done
[ -e "$work/held" ] || { kill -KILL $pid; fail "qn-vga never reached the pause"; }
kill -TERM $pid
status=0; wait $pid || status=$?
[ $status -eq 143 ] || fail "SIGTERM in the pause: status $status, not the default action"
grep -q "Shutdown" "$work/out32" && fail "shut down in order before the handler was installed"
$frames mask32 "$work/entries/maps_00.pgm" 2 >"$work/want32"
cmp "$work/want32" "$work/mem32" || fail "the loading picture differs at 32 bits, 2x on 640x480"

# SIGINT in the timeline without a controlling terminal ends it at once: the
# sound library's SDL output must not keep a handler of its own. The demo's
# own song: the short one could end the run before the signal arrives.
mkdir -p "$work/long"
ln -s "$QN_DATA_DIR/zorv.dat" "$QN_DATA_DIR/objs.3dw" "$QN_DATA_DIR/music.xm" "$work/long/"
(cd "$work/long" && VGA_FAKE_CARD="54:linear" exec setsid env --default-signal=INT \
  stdbuf -oL "$QN_BIN_DIR/qn-vga" >"$work/out_int" 2>&1) &
pid=$!
for _ in $(seq 1 3000); do grep -q "joined sound" "$work/out_int" && break; sleep 0.1; done
grep -q "joined sound" "$work/out_int" || { kill -KILL $pid; fail "the music never started"; }
sleep 1
kill -INT $pid
for _ in $(seq 1 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && { kill -KILL $pid; fail "SIGINT without a terminal did not end qn-vga"; }
status=0; wait $pid || status=$?
[ $status -eq 130 ] || fail "SIGINT without a terminal: status $status, not 130"

# Whole runs: they end by themselves on the closing picture.
# qn-vga's own banner and no usage line; "-w" is ignored like any argument.
run_to_end() {  # depth modes
  (cd "$work" && VGA_FAKE_CARD="$2" VGA_FAKE_MEMORY="$work/mem$1" \
    timeout -k 5 60 "$QN_BIN_DIR/qn-vga" -w >"$work/out$1" 2>&1) || fail "$1 bits: status $?"
  [ "$(head -n 4 "$work/out$1")" = "$banner" ] || fail "$1 bits: the trace begins otherwise"
  grep -q '^\*\*\* Shutdown \*\*\*$' "$work/out$1" || fail "$1 bits: no orderly shut-down"
}
banner=$'*** ZORV Linux startup using svgalib and mikmod ***\n\nUnpacking data...'
banner+=$'\nInitiating svgalib startup sequence...'
run_to_end 16 "54:linear,absent 53:capable,nolinear 52:capable"
/usr/bin/convert "$work/entries/text_10.ppm" rgb:- | $frames rgb 16 >"$work/want16"
cmp -n 153600 "$work/want16" "$work/mem16" || fail "the closing picture differs at 16 bits"

run_to_end 24 "53:linear"
(cd "$work" && timeout -k 5 120 "$QN_BIN_DIR/qn-capture" -o "$work/cap" --png-every 1 --no-wav >/dev/null 2>&1) \
  || fail "qn-capture failed"
last=$(ls "$work/cap"/frame-*.png | tail -1)
/usr/bin/convert "$last" rgb:- | $frames rgb 24 >"$work/want24"
cmp -n 230400 "$work/want24" "$work/mem24" || fail "qn-vga's last frame differs from qn-capture's ($last)"
echo "qn-vga: loading picture, 16- and 24-bit runs to the end: all as expected"
