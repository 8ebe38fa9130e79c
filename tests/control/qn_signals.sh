# Before demo control installs its SIGTERM handler, SIGTERM ends qn at once
# by the default action, and SIGINT always does: SDL's own handlers, which
# would turn both into ignored quit events, must not stay in place.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/qn.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
xvfb_start
prepare_data good

for sig in TERM INT; do
  start_qn -w
  xvfb_wait_window Quillion "$QN_PID" >/dev/null || fail "no window"
  # The window is up: SDL is initialised and the 3 s loading pause is ahead.
  kill -"$sig" "$PROG_PID"
  for i in $(seq 1 20); do kill -0 "$PROG_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$PROG_PID" 2>/dev/null && fail "SIG$sig did not end qn at once"
  wait_qn
  expected=$((128 + $(kill -l "$sig")))
  [ "$QN_STATUS" = "$expected" ] || fail "SIG$sig: status $QN_STATUS, not $expected"
done
echo ok
