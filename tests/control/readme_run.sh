# The README's run command: builds everything and starts qn from the data
# folder in a window sized for the desktop (on 1920x1080, three times the
# picture: 960x720); the window shows the loading picture of the built
# zorv.dat, scaled.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/qn.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
if [ ! -f "$QN_DATA_DIR/zorv.dat" ]; then
  echo "skipped: the build has no data builder for zorv.dat yet"
  exit 77
fi
xvfb_start 1920x1080x24
(cd "$QN_DATA_DIR" && "$ARCHIVE_TOOL" expect "$WORK/picture.ppm" >/dev/null)
convert "$WORK/picture.ppm" -scale 300% "$WORK/expected.ppm"

QN_BUILD_DIR=$QN_BIN_DIR timeout -k 5 500 bash "$SOURCE/scripts/demo.sh" >"$WORK/out" 2>"$WORK/err" &
QN_PID=$!
window=$(xvfb_wait_window Quillion "$QN_PID") || fail "no window titled Quillion"
PROG_PID=$(pgrep -P "$QN_PID" || true)
geometry=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$geometry" = 960x720 ] || fail "the window is $geometry, not 960x720"
for i in $(seq 1 40); do
  xvfb_screenshot "$WORK/shot.png" "$window" 2>/dev/null || break
  diff=$(xvfb_pixel_diff "$WORK/shot.png" "$WORK/expected.ppm")
  [ "$diff" = 0 ] && break
  sleep 0.1
done
[ "$diff" = 0 ] || fail "the window did not show the loading picture ($diff pixels differ)"
end_qn key "$window"
[ "$QN_STATUS" = 0 ] || fail "status $QN_STATUS"
grep -qx 'Allocating memory for texture data...' "$WORK/out" || fail "no start-up trace"
[ "$(tail -n 1 "$WORK/out")" = '*** Shutdown ***' ] || fail "no orderly shut-down"
echo ok
