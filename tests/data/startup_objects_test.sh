#!/usr/bin/env bash
# Start-up loads "objs.3dw": a missing or damaged file ends it with one
# message and status 1; the built file gets past the objects.
set -u
capture="$QN_BIN_DIR/qn-capture"
[ -x "$capture" ] || { echo "qn-capture not built: skipped"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cp "$QN_DATA_DIR/zorv.dat" "$QN_DATA_DIR/music.xm" "$work/"

run() {  # run: start-up in $work, cut short after the objects are loaded
  (cd "$work" && timeout -k 5 60 "$capture" -o out --no-wav --max-seconds 1 2>&1)
}
for damage in missing garbage truncated; do
  rm -f "$work/objs.3dw"
  case $damage in
    garbage) printf 'not an object file' > "$work/objs.3dw" ;;
    truncated) head -c 5000 "$QN_DATA_DIR/objs.3dw" > "$work/objs.3dw" ;;
  esac
  out=$(run); status=$?
  [ $status -eq 1 ] || fail "$damage: status $status"
  [ "$(printf '%s\n' "$out" | grep -c '^Error loading ASE object\.\.\.$')" -eq 1 ] ||
    fail "$damage: message missing in: $out"
done
cp "$QN_DATA_DIR/objs.3dw" "$work/"
out=$(run)
grep -q "Error loading ASE" <<<"$out" && fail "the built file was refused"
grep -q "Precalcing" <<<"$out" || fail "start-up did not get past the objects: $out"
echo "start-up objects: all passed"
