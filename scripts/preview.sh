#!/usr/bin/env bash
# Contact sheet of "zorv.dat": a PNG of every entry and one sheet of them all.
#   scripts/preview.sh [output folder]      (default: <build>/preview)
# Uses the archive in <build>/data (building it first if needed) and
# ImageMagick's convert and montage from /usr/bin.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
out=${1:-$build/preview}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" >/dev/null
fi
cmake --build "$build" --target qn_data_zorv zorvdump -j2 >/dev/null
mkdir -p "$out"
rm -f "$out"/text_*.p?m "$out"/maps_*.p?m "$out"/text_*.png "$out"/maps_*.png
"$build/tools/zorv/zorvdump" "$build/data/zorv.dat" "$out"

labels=()
for f in "$out"/text_*.ppm "$out"/maps_*.pgm; do
  png=${f%.*}.png
  /usr/bin/convert "$f" "$png"
  rm -f "$f"
  labels+=("$png")
done
/usr/bin/montage -label '%t (%wx%h)' "${labels[@]}" -tile 6x -geometry 320x240+4+4 \
  -font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf -background '#303030' -fill white "$out/sheet.png"
echo "$out/sheet.png"
