# qn -w under Xvfb: a 320x240 window titled "Quillion" showing the loading
# picture pixel for pixel, the start-up trace, an orderly end with status 0;
# without the switch, the full screen.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/foundation/lib.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
trap 'xvfb_stop; cleanup_work' EXIT
xvfb_start 640x480x24

prepare_data good
(cd "$WORK" && "$QN_BIN_DIR/tests/data/data_archive_tool" expect expected.ppm >/dev/null)

# Shows the loading picture until it has been seen whole, or qn moved on.
expect_loading_picture() {
  local window=$1 i diff=unknown
  for i in $(seq 1 40); do
    xvfb_screenshot "$WORK/shot.png" "$window" 2>/dev/null || break
    diff=$(xvfb_pixel_diff "$WORK/shot.png" "$WORK/expected.ppm")
    [ "$diff" = 0 ] && return 0
    sleep 0.1
  done
  fail "the screen never showed the loading picture (last difference: $diff pixels)"
}

start_qn -wide   # any first argument beginning with -w asks for a window
window=$(xvfb_wait_window Quillion) || fail "no window titled Quillion"
geometry=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$geometry" = 320x240 ] || fail "window is $geometry, not 320x240"
expect_loading_picture "$window"
end_qn key "$window"
[ "$QN_STATUS" = 0 ] || fail "qn -w ended with status $QN_STATUS"
check_trace

# Full screen: the picture fills the middle of a 640x480 screen, black around it.
/usr/bin/convert -size 640x480 xc:black "$WORK/expected.ppm" -geometry +160+120 -composite "$WORK/expected_full.ppm"
mv "$WORK/expected_full.ppm" "$WORK/expected.ppm"
start_qn -x
window=$(xvfb_wait_window Quillion) || fail "no full-screen window"
expect_loading_picture root
end_qn key "$window"
[ "$QN_STATUS" = 0 ] || fail "qn (full screen) ended with status $QN_STATUS"
check_trace
echo ok
