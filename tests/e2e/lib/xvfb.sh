# Shell library for end-to-end tests that need an X server.
#
#   source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
#   xvfb_start [WxHxD]          # own server on a free display; exports DISPLAY
#   id=$(xvfb_wait_window Quillion [pid])    # window id once it is mapped
#   xvfb_screenshot out.png [window id]      # the root window, or one window
#   xvfb_pixel_diff a.png b.png               # prints the count of differing pixels
#
# The server is stopped when the script exits (cleanup.sh). Each call of xvfb_start lets
# Xvfb choose a free display number itself (-displayfd), so tests run in
# parallel without racing for numbers.

source "$(dirname "${BASH_SOURCE[0]}")/cleanup.sh"
XVFB_PID=""
XVFB_DIR=""

xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
  if [ -n "$XVFB_DIR" ]; then
    rm -rf "$XVFB_DIR"
    XVFB_DIR=""
  fi
}

xvfb_start() {
  local screen=${1:-640x480x24}
  XVFB_DIR=$(mktemp -d)
  cleanup_add xvfb_stop
  # -noreset: SDL 1.2 opens the display twice at start-up; a server that
  # resets when its last client goes away makes the second open fail.
  Xvfb -displayfd 3 -screen 0 "$screen" -noreset -nolisten tcp \
    3>"$XVFB_DIR/display" >"$XVFB_DIR/log" 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 600); do
    if [ -s "$XVFB_DIR/display" ]; then
      export DISPLAY=":$(head -n1 "$XVFB_DIR/display")"
      if xdpyinfo >/dev/null 2>&1; then
        return 0
      fi
    fi
    if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "xvfb: the X server did not start" >&2
  cat "$XVFB_DIR/log" >&2 || true
  return 1
}

# True while the process runs (an ended child not yet waited for is a zombie
# that kill -0 still finds).
xvfb_running() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat:0:1}" != Z ]
}

# Prints the id of the first visible window whose name matches, once there
# is one. With the pid of the program that opens it, the wait lasts as long
# as that program runs: a loaded machine may take long to get there, and a
# program that ended without a window is told at once. 600 s is only a
# safety net (XVFB_WINDOW_LIMIT).
xvfb_wait_window() {
  local name=$1 pid=${2:-} id end=$((SECONDS + ${XVFB_WINDOW_LIMIT:-600}))
  while [ "$SECONDS" -lt "$end" ]; do
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null || true)
    id=${id%%$'\n'*}
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    if [ -n "$pid" ] && ! xvfb_running "$pid"; then
      echo "xvfb: the program ended without a window named '$name'" >&2
      return 1
    fi
    sleep 0.1
  done
  echo "xvfb: no window named '$name' within ${XVFB_WINDOW_LIMIT:-600}s" >&2
  return 1
}

# Screenshot of the whole screen, or of one window (by id) without borders.
xvfb_screenshot() {
  local out=$1 window=${2:-root}
  import -window "$window" "$out"
}

# Number of pixels that differ between two pictures of the same size.
xvfb_pixel_diff() {
  # compare writes the metric to stderr and exits 1 when the pictures differ.
  compare -metric AE "$1" "$2" null: 2>&1 >/dev/null || true
}
