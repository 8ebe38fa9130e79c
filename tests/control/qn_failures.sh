# Start-up failures of qn: the one message, status 1, nothing further.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/qn.sh"
export SDL_VIDEODRIVER=dummy

expect_failure() {
  local expected=$1
  shift
  wait_qn
  [ "$QN_STATUS" = 1 ] || fail "$*: status $QN_STATUS, not 1"
  [ "$(cat "$WORK/out")" = "$BANNER"$'\n'"$expected" ] || fail "$*: unexpected trace"
}

# No archive: nothing is opened.
start_qn -w
expect_failure $'Unpacking data...\nUnable to open zorv.dat' "no zorv.dat"

# An archive cut short inside its last payload.
prepare_data truncated
start_qn -w
expect_failure $'Unpacking data...\nzorv.dat: entry 28 ("raw") is cut short: 76800 bytes of payload, 76700 left in the file' \
  "truncated zorv.dat"

# The display cannot be opened: SDL's reason on standard error.
prepare_data good
SDL_VIDEODRIVER=x11 DISPLAY=:0.999 XAUTHORITY=/nonexistent start_qn -w
expect_failure $'Unpacking data...\nInitiating SDL startup sequence...' "no display"
grep -q '^Unable to initiate SDL: ' "$WORK/err" || fail "no SDL error on standard error"

# No display and no driver chosen: SDL's text-mode fallback would draw into
# the terminal, so it counts as no display.
unset SDL_VIDEODRIVER DISPLAY
start_qn -w
expect_failure $'Unpacking data...\nInitiating SDL startup sequence...' "DISPLAY unset"
[ "$(cat "$WORK/err")" = "Unable to initiate SDL: no graphical display was found (DISPLAY is not set)" ] ||
  fail "DISPLAY unset: $(head -c 300 "$WORK/err")"
echo ok
