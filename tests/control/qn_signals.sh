# Before demo control installs its SIGTERM handler, SIGTERM ends qn at once
# by the default action, and SIGINT always does: SDL's own handlers, which
# would turn both into ignored quit events, must not stay in place.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/qn.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
xvfb_start
prepare_data good

# The hold library keeps qn just after SDL's start-up, before the tables:
# the signal lands there however slow the machine is.
for sig in TERM INT; do
  rm -f "$WORK/held"
  QN_HOLD=precalc QN_HOLD_FILE=$WORK/held start_qn -w
  for i in $(seq 1 600); do [ -e "$WORK/held" ] && break; sleep 0.1; done
  [ -e "$WORK/held" ] || fail "qn never got past SDL's start-up"
  kill -"$sig" "$PROG_PID"
  # Held, qn would go on after 30 s: an ignored signal shows as a run that
  # reaches the timeline and ends with status 0.
  wait_qn
  expected=$((128 + $(kill -l "$sig")))
  [ "$QN_STATUS" = "$expected" ] || fail "SIG$sig: status $QN_STATUS, not $expected"
done
echo ok
