# The quit poll under Xvfb, through a probe that presents frames and polls
# once a frame: a key press and the left button alone end it; the right
# button, left and right together and a window-close request do not (the
# probe reports that it saw them).
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/qn.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
HELPERS=$QN_BIN_DIR/tests/display/sdl
xvfb_start

# probe NAME SECONDS EXPECTED_STATUS EXPECTED_SEEN ACTION...
probe() {
  local name=$1 secs=$2 want=$3 seen=$4
  shift 4
  timeout -k 5 30 "$HELPERS/sdl_poll_probe" "$secs" >"$WORK/out" 2>"$WORK/err" &
  local pid=$! status=0
  local window
  window=$(xvfb_wait_window Quillion "$pid") || fail "$name: no window"
  xdotool mousemove --window "$window" 160 120
  sleep 0.5  # the start-up events are polled away by now
  "$@" "$window"
  wait "$pid" || status=$?
  [ "$status" = "$want" ] || fail "$name: status $status, not $want"
  [ "$(tail -n 1 "$WORK/out")" = "seen:$seen" ] || fail "$name: probe reports '$(tail -n 1 "$WORK/out")', not 'seen:$seen'"
}

key() { xdotool key a; }
left() { xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; }
right() { xdotool mousedown 3; sleep 0.2; xdotool mouseup 3; }
# Right first and left let go first, so the left button is never down alone.
both() { xdotool mousedown 3; sleep 0.2; xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.2; xdotool mouseup 3; }
close() { "$HELPERS/sdl_close_request" "$1"; }

probe "key press" 10 0 " key" key
probe "left click" 10 0 " left" left
probe "right click" 6 3 " right" right
probe "left and right" 6 3 " left right" both
probe "close request" 6 3 " close" close
echo ok
