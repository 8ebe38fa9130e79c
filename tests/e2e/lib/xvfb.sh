# Shell library for end-to-end tests that need an X server.
#
#   source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
#   xvfb_start [WxHxD]          # own server on a free display; exports DISPLAY
#   id=$(xvfb_wait_window Quillion [secs])   # window id once it is mapped
#   xvfb_screenshot out.png [window id]      # the root window, or one window
#   xvfb_pixel_diff a.png b.png               # prints the count of differing pixels
#
# The server is stopped when the script exits (an EXIT trap; a test that sets
# its own EXIT trap calls xvfb_stop from it). Each call of xvfb_start lets
# Xvfb choose a free display number itself (-displayfd), so tests run in
# parallel without racing for numbers.

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
  # -noreset: SDL 1.2 opens the display twice at start-up; a server that
  # resets when its last client goes away makes the second open fail.
  Xvfb -displayfd 3 -screen 0 "$screen" -noreset -nolisten tcp \
    3>"$XVFB_DIR/display" >"$XVFB_DIR/log" 2>&1 &
  XVFB_PID=$!
  trap xvfb_stop EXIT
  local i
  for i in $(seq 1 100); do
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

# Prints the id of the first visible window whose name matches, waiting up
# to `secs` seconds (default 20) for it to appear.
xvfb_wait_window() {
  local name=$1 secs=${2:-20} i id
  for i in $(seq 1 $((secs * 10))); do
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "xvfb: no window named '$name' within ${secs}s" >&2
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
