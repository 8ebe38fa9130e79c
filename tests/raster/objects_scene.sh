#!/bin/bash
# Records the objects scene with qn-capture and keeps one PNG from the middle
# of each of its four motion phases (read from the frame log) for looking at.
# Checks that every phase has its frame and that the objects move between them.
set -euo pipefail
out="${QN_TEST_OUT:-$PWD/objects_scene}"
rm -rf "$out" && mkdir -p "$out"
cd "$QN_DATA_DIR"
timeout -k 5 300 "$QN_BIN_DIR/qn-capture" -o "$out/run" --no-wav > "$out/log.txt" 2>&1 ||
  { echo "qn-capture failed"; cat "$out/log.txt"; exit 1; }
scene=5  # the objects scene, as the frame log numbers scenes
frames=()
for phase in 0 1 2 3; do
  frame=$(awk -F, -v s="$scene" -v p="$phase" 'NR > 1 && $5 == s && $9 == p { f[n++] = $1 }
                                              END { if (n) print f[int(n / 2)] }' "$out/run/frames.csv")
  [ -n "$frame" ] || { echo "no frame in phase $phase of scene $scene"; exit 1; }
  frames+=("$frame")
done
from=$(awk -v f="${frames[0]}" 'BEGIN { printf "%.2f", f * 0.02 - 0.01 }')
to=$(awk -v f="${frames[3]}" 'BEGIN { printf "%.2f", f * 0.02 + 0.01 }')
timeout -k 5 300 "$QN_BIN_DIR/qn-capture" -o "$out/png" --no-wav --png-every 1 \
  --png-from "$from" --png-to "$to" > "$out/log-png.txt" 2>&1 ||
  { echo "qn-capture with PNGs failed"; exit 1; }
for k in 0 1 2 3; do
  src=$(printf "%s/png/frame-%06d.png" "$out" "${frames[$k]}")
  [ -s "$src" ] || { echo "missing $src"; exit 1; }
  cp "$src" "$out/phase-$((k + 1)).png"
done
for k in 1 2 3; do
  if cmp -s "$out/phase-$k.png" "$out/phase-$((k + 1)).png"; then
    echo "phases $k and $((k + 1)) look the same"; exit 1
  fi
done
rm -rf "$out/png"
echo "objects scene $scene: frames ${frames[*]} saved in $out"
