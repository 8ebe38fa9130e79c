# Shared by the end-to-end tests of qn: a scratch folder to run in, the
# helpers' paths, and checks of the start-up trace.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/cleanup.sh"

QN=$QN_BIN_DIR/qn
# Writes zorv.dat files (good, truncated) and the loading picture they give.
ARCHIVE_TOOL=${QN_ARCHIVE_TOOL:-}
SOURCE=$QN_SOURCE_DIR
# SDL and Xlib keep a few allocations until the process ends.
export LSAN_OPTIONS="suppressions=$SOURCE/tests/e2e/lib/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

WORK=$(mktemp -d)
cleanup_add rm -rf "$WORK"
# Sound through SDL's disk driver, at real-time pace: no sound device needed.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$WORK/audio.raw SDL_DISKAUDIODELAY=23

fail() {
  echo "FAIL: $*" >&2
  for f in "$WORK"/out "$WORK"/err; do
    [ -f "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }
  done
  exit 1
}

# The scratch folder gets a zorv.dat of the given kind (good, truncated) and
# the demo's other data files, when the build has made them.
prepare_data() {
  (cd "$WORK" && "$ARCHIVE_TOOL" "$1")
  for f in objs.3dw music.xm; do
    [ -f "$QN_DATA_DIR/$f" ] && ln -sf "$QN_DATA_DIR/$f" "$WORK/$f"
  done
  return 0
}

# qn runs with the hold library preloaded (holding nothing unless QN_HOLD
# says so): its trace is then line-buffered, so a test can wait for a line of
# it. A sanitised build needs its runtime first.
QN_PRELOAD=$QN_BIN_DIR/tests/reliability/libreliability_hold.so
qn_asan=$(ldd "$QN" 2>/dev/null | awk '/libasan/ {print $3}' || true)
[ -z "$qn_asan" ] || QN_PRELOAD="$qn_asan:$QN_PRELOAD"

# Starts qn in the scratch folder in the background; QN_PID is timeout's pid
# and PROG_PID qn's own.
start_qn() {
  (cd "$WORK" && LD_PRELOAD="$QN_PRELOAD" exec timeout -k 5 120 "$QN" "$@" >"$WORK/out" 2>"$WORK/err") &
  QN_PID=$!
  PROG_PID=""
  local i
  for i in $(seq 1 600); do
    PROG_PID=$(pgrep -P "$QN_PID" || true)
    [ -n "$PROG_PID" ] && return 0
    kill -0 "$QN_PID" 2>/dev/null || return 0  # already over
    sleep 0.1
  done
  fail "qn did not start"
}

# Waits for the background qn; sets QN_STATUS.
wait_qn() {
  QN_STATUS=0
  wait "$QN_PID" || QN_STATUS=$?
}

# After the loading phase the timeline runs until a quit: wait a little,
# then ask (a key press or a left click in `window`, or SIGTERM) until qn ends.
# SIGTERM ends the demo in order only once its handler is in, which the
# music's start line follows: it waits for that line, however long start-up takes.
end_qn() {
  local how=$1 window=${2:-} i
  if [ "$how" != key ] && [ "$how" != click ]; then
    for i in $(seq 1 3000); do
      grep -q '^Initiating joined sound' "$WORK/out" && break
      kill -0 "$PROG_PID" 2>/dev/null || break
      sleep 0.1
    done
  fi
  for i in $(seq 1 480); do
    kill -0 "$PROG_PID" 2>/dev/null || break
    if [ "$i" -ge 16 ]; then
      if [ "$how" = key ]; then
        # Without a window manager the keyboard follows the pointer.
        xdotool mousemove --window "$window" 5 5 key space 2>/dev/null || true
      elif [ "$how" = click ]; then
        # Held across a frame: the poll reads the button's state.
        xdotool mousemove --window "$window" 5 5 mousedown 1 sleep 0.2 mouseup 1 2>/dev/null || true
      else
        kill -TERM "$PROG_PID" 2>/dev/null || true
      fi
    fi
    sleep 0.25
  done
  kill -0 "$PROG_PID" 2>/dev/null && fail "qn did not end when asked"
  wait_qn
}

BANNER=$'*** ZORV Linux startup using SDL and mikmod ***\n\n./qn -w for windowed mode\n'

# The trace of a run that got through start-up and shut down in order.
check_trace() {
  local out=$WORK/out
  local head
  head=$(head -n 7 "$out")
  [ "$head" = "$BANNER"$'\nUnpacking data...\nInitiating SDL startup sequence...\nAllocating memory for texture data...' ] \
    || fail "trace does not begin with the banner, archive, display and allocation lines"
  [ "$(grep -x -e 'Precalcing...' -e 'Initiating signalhander setup...' "$out" | tr '\n' '|')" \
    = 'Precalcing...|Initiating signalhander setup...|' ] || fail "precalc and signal lines missing or out of order"
  [ "$(tail -n 1 "$out")" = '*** Shutdown ***' ] || fail "trace does not end with the shut-down line"
}
