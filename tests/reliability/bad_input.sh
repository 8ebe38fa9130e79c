#!/usr/bin/env bash
# Every kind of damage to each data file, through qn (no video device) and
# qn-capture: the one message for it, status 1, no orderly shut-down, and the
# folder exactly as it was (nothing written, nothing left behind).
set -euo pipefail
DATA=$QN_DATA_DIR
TOOLS=$QN_BIN_DIR/tests/reliability
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
cases=0

# Writes the little-endian 32-bit value at the byte offset of the file.
put_u32() {
  local file=$1 at=$2 v=$3
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))" |
    dd of="$file" bs=1 seek="$at" conv=notrunc status=none
}
put_bytes() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
get_u32() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }
cut_to() { head -c "$2" "$1" >"$1.cut" && mv "$1.cut" "$1"; }

# Names, sizes and checksums of everything in the folder.
snapshot() { (cd "$1" && find . -mindepth 1 -printf '%p %y %s\n' | sort && find . -type f -exec md5sum {} + | sort); }

# check PROGRAM NAME STREAM PATTERN: runs the program in $WORK/run, where the
# damage has been done, and checks the outcome. STREAM is where the one
# message goes (out or err); PATTERN is a shell pattern for it.
check() {
  local program=$1 name=$2 stream=$3 pattern=$4 status=0 why="" args=()
  [ "$program" = qn ] && args=(-w)
  cases=$((cases + 1))
  snapshot "$WORK/run" >"$WORK/before"
  (cd "$WORK/run" && exec timeout -k 5 60 "$QN_BIN_DIR/$program" "${args[@]}" \
    >"$WORK/out" 2>"$WORK/err") || status=$?
  local text message others
  text=$(cat "$WORK/$stream")
  message=$(printf '%s\n' "$text" | tail -n 1)
  [ "$status" = 1 ] || why="status $status"
  # shellcheck disable=SC2053
  [[ $message == $pattern ]] || why="${why:+$why; }last line '$message'"
  others=$(printf '%s\n' "$text" | grep -c -F -x -- "$message" || true)
  [ "$others" = 1 ] || why="${why:+$why; }the message appears $others times"
  if [ "$stream" = out ] && [ -s "$WORK/err" ]; then why="${why:+$why; }standard error: $(head -c 200 "$WORK/err")"; fi
  if [ "$stream" = err ] && [ "$(wc -l <"$WORK/err")" != 1 ]; then why="${why:+$why; }more than one line on standard error"; fi
  grep -q 'Shutdown' "$WORK/out" && why="${why:+$why; }shut down as if it had run"
  snapshot "$WORK/run" >"$WORK/after"
  cmp -s "$WORK/before" "$WORK/after" || why="${why:+$why; }the folder changed: $(diff "$WORK/before" "$WORK/after" | sed -n 1,3p | tr '\n' ' ')"
  if [ -n "$why" ]; then
    echo "FAIL $program, $name: $why"
    failures=$((failures + 1))
  else
    echo "ok   $program, $name: $message"
  fi
}

# A fresh folder with the three good files.
fresh() {
  rm -rf "$WORK/run" && mkdir "$WORK/run"
  cp "$DATA/zorv.dat" "$DATA/objs.3dw" "$DATA/music.xm" "$WORK/run/"
}

# damage_<file> KIND: makes one kind of damage to the file in $WORK/run and
# prints the stream and the pattern of the message it must give.
damage_zorv() {
  local f=$WORK/run/zorv.dat size0 tag0 count
  size0=$(get_u32 "$f" 11)
  tag0=$(head -c 11 "$f" | tail -c 3)
  count=$(get_u32 "$f" 4)
  case $1 in
    missing) rm "$f"; echo 'out|Unable to open zorv.dat' ;;
    folder) rm "$f"; mkdir "$f"; echo 'out|Unable to open zorv.dat' ;;
    empty) : >"$f"; echo 'out|zorv.dat: This is not a zorv data file format' ;;
    magic-only) cut_to "$f" 4; echo 'out|zorv.dat: the file ends before the entry count' ;;
    header-cut) cut_to "$f" 13; echo 'out|zorv.dat: the file ends inside the header of entry 0' ;;
    payload-cut) cut_to "$f" $(($(stat -c %s "$f") - 100))
      echo 'out|zorv.dat: entry '$((count - 1))' ("*") is cut short: * bytes of payload, * left in the file' ;;
    wrong-magic) put_bytes "$f" 0 'Z'; echo 'out|zorv.dat: This is not a zorv data file format' ;;
    upper-case-tag) put_bytes "$f" 8 "$(echo "$tag0" | tr a-z A-Z)"; echo 'out|Corrupt header!' ;;
    tag-in-payload) put_u32 "$f" 11 $((size0 - 4)); echo 'out|Corrupt header!' ;;
    negative-size) put_u32 "$f" 11 4294967295; echo "out|zorv.dat: entry 0 (\"$tag0\") has a negative size, -1" ;;
    huge-size) put_u32 "$f" 11 2147483647; echo "out|zorv.dat: entry 0 (\"$tag0\") is cut short: 2147483647 bytes of payload, * left in the file" ;;
    huge-count) put_u32 "$f" 4 2147483647; echo "out|zorv.dat: the file ends inside the header of entry $count" ;;
    odd-words) [ "$tag0" = tga ] || return 1
      put_u32 "$f" 11 $((size0 - 1)); echo "out|zorv.dat: entry 0 (\"tga\") has $((size0 - 1)) bytes, not a whole number of words" ;;
    too-few) put_u32 "$f" 4 1; echo 'out|zorv.dat: the demo needs at least 11 "tga" and 18 "raw" entries, this file has *' ;;
    wrong-shape) # entry 0 replaced by one of 4 bytes of the same kind
      { head -c 8 "$f"; printf '%s\x04\0\0\0abcd' "$tag0"; tail -c +$((15 + size0 + 1)) "$f"; } >"$f.new" && mv "$f.new" "$f"
      [ "$tag0" = tga ] && echo 'out|zorv.dat: text\[0\] has 4 bytes, the demo needs 262144' \
                        || echo 'out|zorv.dat: maps\[0\] has 4 bytes, the demo needs 76800' ;;
  esac
}

damage_objs() {
  local f=$WORK/run/objs.3dw v faces_at
  v=$(get_u32 "$f" 26)
  faces_at=$((6 + 88 + 32 * v))
  echo 'out|Error loading ASE object...'
  case $1 in
    missing) rm "$f" ;;
    folder) rm "$f"; mkdir "$f" ;;
    empty) : >"$f" ;;
    swapped-magic) put_bytes "$f" 0 '\x5b\x88' ;;
    count-cut) cut_to "$f" 4 ;;
    half) cut_to "$f" $(($(stat -c %s "$f") / 2)) ;;
    one-byte-short) cut_to "$f" $(($(stat -c %s "$f") - 1)) ;;
    count-too-big) put_u32 "$f" 2 $(($(get_u32 "$f" 2) + 1)) ;;
    huge-vertex-count) put_u32 "$f" 26 2147483647 ;;
    negative-face-count) put_u32 "$f" 22 4294967295 ;;
    nan-position) put_u32 "$f" 74 2143289344 ;;
    infinite-vertex) put_u32 "$f" 94 2139095040 ;;
    corner-count) put_u32 "$f" "$faces_at" 7 ;;
    index-out-of-range) put_u32 "$f" $((faces_at + 60)) "$v" ;;
    negative-index) put_u32 "$f" $((faces_at + 64)) 4294967295 ;;
  esac
}

damage_music() {
  local f=$WORK/run/music.xm
  echo 'err|Unable to load module becouse: *'
  case $1 in
    missing) rm "$f" ;;
    folder) rm "$f"; mkdir "$f" ;;
    empty) : >"$f" ;;
    header-cut) cut_to "$f" 60 ;;
    patterns-cut) cut_to "$f" 1000 ;;
    samples-cut) cut_to "$f" $(($(stat -c %s "$f") / 2)) ;;
    wrong-magic) put_bytes "$f" 0 'X' ;;
    not-a-module) cp "$DATA/objs.3dw" "$f" ;;
  esac
}

run_matrix() {  # run_matrix FILE KIND...
  local file=$1 kind expect program
  shift
  for kind in "$@"; do
    for program in qn qn-capture; do
      fresh
      expect=$(damage_"$file" "$kind") || { echo "skip $file $kind"; continue; }
      check "$program" "$file $kind" "${expect%%|*}" "${expect#*|}"
    done
  done
}

run_matrix zorv missing folder empty magic-only header-cut payload-cut wrong-magic upper-case-tag \
  tag-in-payload negative-size huge-size huge-count odd-words too-few wrong-shape
run_matrix objs missing folder empty swapped-magic count-cut half one-byte-short count-too-big \
  huge-vertex-count negative-face-count nan-position infinite-vertex corner-count index-out-of-range \
  negative-index
run_matrix music missing folder empty header-cut patterns-cut samples-cut wrong-magic not-a-module

# A well-formed module too short for the closing row: qn-capture gives up
# with its message instead of running for ever, and leaves no file of its own.
fresh
"$TOOLS/reliability_module" "$WORK/run/music.xm" 3 4
cases=$((cases + 1))
status=0
(cd "$WORK/run" && timeout -k 5 60 "$QN_BIN_DIR/qn-capture" --no-wav >"$WORK/out" 2>"$WORK/err") || status=$?
if [ "$status" = 1 ] && [ ! -e "$WORK/run/capture" ] &&
  grep -q '^qn-capture: the song ended at position 3 before the closing row of the demo$' "$WORK/err"; then
  echo "ok   qn-capture, music too short: the song ended at position 3 before the closing row"
else
  echo "FAIL qn-capture, music too short: status $status, $(head -c 300 "$WORK/err")"
  failures=$((failures + 1))
fi

echo "$cases cases, $failures failed"
[ "$failures" = 0 ]
