#!/usr/bin/env bash
# Regenerates docs/screenshots/scene-N.png, one picture per scene 0..9, from
# a qn-capture run: of the frames captured in the middle 60% of the scene's
# span in the run's CSV log (the scene column), the one with the most
# contrast, so that white flashes and fades are passed over. Pictures over
# 60 KB are reduced to 256 colours.
#   QN_BUILD_DIR   the build to use (default build/ of the checkout; built if missing)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
[ -x "$build/qn-capture" ] && [ -f "$build/data/zorv.dat" ] || QN_BUILD_DIR=$build bash "$top/scripts/build.sh"
build=$(cd "$build" && pwd)
dest=$top/docs/screenshots
every=25
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "screenshots: capturing every ${every}th frame of the demo"
(cd "$build/data" && timeout -k 5 900 ../qn-capture -o "$tmp" --png-every "$every" --no-wav >"$tmp/trace.log") ||
  { cat "$tmp/trace.log" >&2; echo "screenshots: the capture failed" >&2; exit 1; }

# First and last frame of each scene, then the captured frames inside it.
spans=$(awk -F, -v every="$every" '
  NR == 1 { for (i = 1; i <= NF; i++) col[$i] = i; next }
  { s = $col["scene"]; f = $col["frame"]
    if (!(s in first)) first[s] = f
    last[s] = f }
  END { for (s = 0; s <= 9; s++) {
          if (!(s in first)) { print "missing", s; continue }
          n = last[s] - first[s]
          lo = int((first[s] + n * 0.2) / every + 0.999) * every
          hi = int((first[s] + n * 0.8) / every) * every
          if (hi < lo) hi = lo = int((first[s] + n / 2) / every) * every
          print s, lo, hi } }' "$tmp/frames.csv")

picks=$(while read -r scene lo hi; do
  if [ "$scene" = missing ]; then echo "missing $lo"; continue; fi
  best=$lo best_sd=-1
  for ((f = lo; f <= hi; f += every)); do
    png=$(printf '%s/frame-%06d.png' "$tmp" "$f")
    [ -f "$png" ] || continue
    sd=$(/usr/bin/convert "$png" -colorspace Gray -format '%[fx:standard_deviation]' info:)
    if awk -v a="$sd" -v b="$best_sd" 'BEGIN { exit !(a > b) }'; then best=$f best_sd=$sd; fi
  done
  echo "$scene $best"
done <<<"$spans")

mkdir -p "$dest"
while read -r scene frame; do
  if [ "$scene" = missing ]; then
    echo "screenshots: scene $frame never shows in the log" >&2; exit 1
  fi
  src=$(printf '%s/frame-%06d.png' "$tmp" "$frame")
  [ -f "$src" ] || { echo "screenshots: no picture $src" >&2; exit 1; }
  out=$dest/scene-$scene.png
  cp "$src" "$out"
  if [ "$(stat -c %s "$out")" -gt 61440 ]; then
    /usr/bin/convert "$src" -colors 256 -strip "PNG8:$out"
  fi
  echo "screenshots: scene $scene from frame $frame, $(stat -c %s "$out") bytes"
done <<<"$picks"
echo "screenshots: written to $dest"
