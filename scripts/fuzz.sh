#!/usr/bin/env bash
# Builds the readers' libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for the given time.
#   scripts/fuzz.sh [seconds-per-target] [archive|object_file|ase ...]
# CI runs 60 seconds each; for a long hunt: scripts/fuzz.sh 14400
# Crashes are left in build-fuzz/fuzz/<target>/ as crash-* files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_FUZZ_BUILD_DIR:-$top/build-fuzz}
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(archive object_file ase)
bash "$top/scripts/install-deps.sh" --test  # clang and its sanitizer runtime

cmake -S "$top" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQN_FUZZ=ON -DQN_TESTS=OFF -DQN_BENCH=OFF -DQN_DISPLAY_PROGRAMS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target $(printf 'qn_fuzz_%s ' "${targets[@]}")

# Seeds: the demo's own files where a normal build made them, small good
# ones made here, and the kinds of damage the tests make.
seeds=$build/fuzz/seeds
rm -rf "$seeds" && mkdir -p "$seeds"/{archive,object_file,ase}
data=${QN_DATA_DIR:-$top/build/data}
printf 'zorv\0\0\0\0' >"$seeds/archive/empty.dat"
printf 'zorv\3\0\0\0tga\4\0\0\0\1\2\3\4raw\2\0\0\0\5\6tga\0\0\0\0' >"$seeds/archive/three.dat"
printf 'zorv\1\0\0\0TGA\4\0\0\0\1\2\3\4' >"$seeds/archive/upper-case-tag.dat"
printf 'zorv\2\0\0\0raw\2\0\0\0\5\6raw\377\377\377\377' >"$seeds/archive/negative-size.dat"
printf 'zorv\1\0\0\0raw\0\1\0\0\5\6' >"$seeds/archive/cut-short.dat"
printf '\x88\x5b\0\0\0\0' >"$seeds/object_file/empty.3dw"
printf '\x5b\x88\1\0\0\0' >"$seeds/object_file/swapped-magic.3dw"
printf 'zorv' >"$seeds/object_file/not-an-object-file.3dw"
if [ -f "$data/zorv.dat" ]; then head -c 65536 "$data/zorv.dat" >"$seeds/archive/demo-start.dat"; fi
if [ -f "$data/objs.3dw" ]; then
  cp "$data/objs.3dw" "$seeds/object_file/"
  head -c 5000 "$data/objs.3dw" >"$seeds/object_file/cut-short.3dw"
fi
cp "$top"/tests/fuzz/seeds/*.ase "$seeds/ase/"
for f in "$data"/*.ase "$data"/../tools/objgen/*.ase; do
  if [ -f "$f" ]; then cp "$f" "$seeds/ase/"; fi
done
# An object cut off before its colour, and one before its faces.
for f in "$top"/tests/fuzz/seeds/*.ase; do
  sed '/\*WIREFRAME_COLOR/,$d' "$f" >"$seeds/ase/no-colour-$(basename "$f")"
  sed '/\*MESH_FACE_LIST/,$d' "$f" >"$seeds/ase/no-faces-$(basename "$f")"
done

status=0
for t in "${targets[@]}"; do
  work=$build/fuzz/$t
  mkdir -p "$work/corpus"
  # Past a few records' (or a few objects' of text) worth of bytes, inputs
  # only slow each run down without reaching new code.
  max_len=65536
  [ "$t" = object_file ] && max_len=8192
  [ "$t" = ase ] && max_len=16384
  echo "fuzz: $t for ${seconds}s"
  (cd "$work" && timeout -k 10 $((seconds + 60)) "$build/fuzz/qn_fuzz_$t" "$work/corpus" "$seeds/$t" \
    -max_total_time="$seconds" -max_len=$max_len -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    >"$work/log.txt" 2>&1) || { status=1; echo "fuzz: $t FAILED (see $work/log.txt)"; tail -30 "$work/log.txt"; }
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$work/log.txt" | sed "s/^/fuzz: $t /" || true
done
exit $status
