# The README's run command: builds everything and starts qn -w from the data
# folder; the window shows the loading picture of the built zorv.dat.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/foundation/lib.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
trap 'xvfb_stop; cleanup_work' EXIT
if [ ! -f "$QN_DATA_DIR/zorv.dat" ]; then
  echo "skipped: the build has no data builder for zorv.dat yet"
  exit 77
fi
xvfb_start
(cd "$QN_DATA_DIR" &&
  "$QN_BIN_DIR/tests/data/data_archive_tool" expect "$WORK/expected.ppm" >/dev/null)

QN_BUILD_DIR=$QN_BIN_DIR timeout -k 5 500 bash "$SOURCE/scripts/demo.sh" >"$WORK/out" 2>"$WORK/err" &
QN_PID=$!
window=$(xvfb_wait_window Quillion 400) || fail "no window titled Quillion"
PROG_PID=$(pgrep -P "$QN_PID" || true)
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
