# qn under Xvfb on a 1920x1080 screen: windows of the picture's size ("-w"
# and any first argument beginning so), three times as large ("-w3", and
# "-wfit", sized to the desktop),
# titled "Quillion"; full screen filling the screen with the picture scaled
# 4x and centred, without a window manager and with one; each showing the
# loading picture pixel for pixel, then the demo; quit by key, left click and
# SIGTERM, an orderly end, sound written.
# QN_SDL=compat runs the same binary over sdl12-compat (SDL 1.2 over SDL 2),
# unpacked into the build folder.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/qn.sh"
source "$QN_SOURCE_DIR/tests/e2e/lib/xvfb.sh"
WM_PID=""
stop_wm() { [ -z "$WM_PID" ] || { kill "$WM_PID" 2>/dev/null || true; wait "$WM_PID" 2>/dev/null || true; WM_PID=""; }; }
cleanup_add stop_wm

library=classic
if [ "${QN_SDL:-}" = compat ]; then
  library=sdl12-compat
  lib=$(bash "$SOURCE/scripts/sdl12-compat.sh" "$QN_BIN_DIR/sdl12-compat") || fail "no sdl12-compat"
  export LD_LIBRARY_PATH=$lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
fi
xvfb_start 1920x1080x24

prepare_data good
(cd "$WORK" && "$ARCHIVE_TOOL" expect x1.ppm >/dev/null)
convert "$WORK/x1.ppm" -scale 300% "$WORK/x3.ppm"
convert -size 1920x1080 xc:black \( "$WORK/x1.ppm" -scale 400% \) -geometry +320+60 -composite \
  "$WORK/full.ppm"

# Waits until `what` (root or a window) shows the picture whole.
expect_picture() {
  local what=$1 picture=$2 i diff=unknown
  for i in $(seq 1 40); do
    xvfb_screenshot "$WORK/shot.png" "$what" 2>/dev/null || break
    diff=$(xvfb_pixel_diff "$WORK/shot.png" "$picture")
    [ "$diff" = 0 ] && return 0
    sleep 0.1
  done
  fail "$library: never showed $(basename "$picture") (last difference: $diff pixels)"
}

# Starts qn, checks the library it loaded and its window's size.
start_checked() {
  local size=$1
  shift
  start_qn "$@"
  WINDOW=$(xvfb_wait_window Quillion "$QN_PID") || fail "$library $*: no window titled Quillion"
  grep -q "/$library/libSDL-1.2" "/proc/$PROG_PID/maps" || [ "$library" = classic ] ||
    fail "$library $*: qn did not load $library"
  # sdl12-compat may map a short-lived window first: ask again a while.
  local geometry="" i
  for i in $(seq 1 20); do
    geometry=$({ xwininfo -id "$WINDOW" 2>/dev/null || true; } |
      awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    [ "$geometry" = "$size" ] && return 0
    sleep 0.2
    WINDOW=$(xvfb_wait_window Quillion "$QN_PID") || fail "$library $*: the window went away"
  done
  fail "$library $*: the window is $geometry, not $size"
}

# Once the music runs, a scene fills the picture's place; the border stays black.
expect_scene() {
  local i mean=0 border=1
  for i in $(seq 1 1000); do
    grep -q '^Initiating joined sound' "$WORK/out" && break
    sleep 0.1
  done
  for i in $(seq 1 30); do
    sleep 0.2
    xvfb_screenshot "$WORK/shot.png" root 2>/dev/null || continue
    # The whole screen's mean, then the border's alone.
    set -- $(convert "$WORK/shot.png" \( +clone -fill black \
      -draw 'rectangle 320,60 1599,1019' \) -format '%[fx:mean] ' info:)
    mean=$1 border=$2
    [ "$(xvfb_pixel_diff "$WORK/shot.png" "$WORK/full.ppm")" != 0 ] &&
      awk -v m="$mean" 'BEGIN { exit !(m > 0) }' && break
  done
  awk -v m="$mean" -v b="$border" 'BEGIN { exit !(m > 0 && b == 0) }' ||
    fail "$library: no scene after the loading picture (mean $mean, border mean $border)"
}

finish() {
  end_qn "$1" "$WINDOW"
  [ "$QN_STATUS" = 0 ] || fail "$library: status $QN_STATUS after $1"
  check_trace
}

# Any first argument beginning with -w other than -w2..-w8 keeps 320x240.
small=-wide
[ "$library" = classic ] || small=-w9
start_checked 320x240 "$small"
expect_picture "$WINDOW" "$WORK/x1.ppm"
finish key

start_checked 960x720 -w3
expect_picture "$WINDOW" "$WORK/x3.ppm"
finish click

# Sized to the desktop: within two thirds of 1080 lines, -w3.
start_checked 960x720 -wfit
finish key

start_checked 1920x1080
expect_picture root "$WORK/full.ppm"
expect_scene
finish TERM
[ "$(tr -d '\0' <"$WORK/audio.raw" | wc -c)" -gt 0 ] || fail "$library: no sound was mixed"

# A window manager, as users have.
openbox >"$WORK/wm.log" 2>&1 &
WM_PID=$!
for i in $(seq 1 50); do
  grep -q 'window id' <<<"$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null || true)" && break
  sleep 0.1
done
start_checked 1920x1080
expect_picture root "$WORK/full.ppm"
finish key
echo "ok ($library)"
