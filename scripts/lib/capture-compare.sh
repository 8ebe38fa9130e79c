# A whole qn-capture run against the native build's: the same frames.csv,
# PNG frames (every 50th) and WAV, byte for byte. Sourced by the scripts
# that prove another build or another libm gives the native bytes.
#   native=BUILD; say() { ...; }; source scripts/lib/capture-compare.sh
#   capture_reference                  # $native/capture-reference, made once
#   capture_compare OUT COMMAND...     # runs COMMAND... -o OUT, compares

# A whole run from the native data folder: capture_run OUT COMMAND...
capture_run() {
  local out=$1
  shift
  rm -rf "$out"
  (cd "$native/data" && timeout -k 10 3600 "$@" -o "$out" --png-every 50 2>"$out.err") || {
    cat "$out.err"
    say "qn-capture failed"
    exit 1
  }
  tail -n 1 "$out.err"
}

# The native capture is made once per native program and data.
capture_reference() {
  if [ ! -x "$native/qn-capture" ] || [ ! -f "$native/data/music.xm" ]; then
    say "building the native reference in $native"
    cmake -S "$top" -B "$native" >/dev/null
    cmake --build "$native" -j"$(nproc)" --target qn-capture qn_data_files
  fi
  ref=$native/capture-reference
  local key
  key=$(cat "$native/qn-capture" "$native"/data/{zorv.dat,objs.3dw,music.xm} | sha256sum | cut -c1-16)
  if [ "$(cat "$ref/key" 2>/dev/null)" != "$key" ]; then
    say "the native capture"
    capture_run "$ref" "$native/qn-capture"
    echo "$key" >"$ref/key"
  fi
}

capture_compare() {
  local out=$1 differ
  capture_reference
  capture_run "$@"
  differ=$(cd "$ref" && for f in *; do
    [ "$f" = key ] || cmp -s "$f" "$out/$f" || echo "$f"
  done)
  [ "$(ls "$out" | wc -l)" = "$(($(ls "$ref" | wc -l) - 1))" ] || differ+=" (and the number of files)"
  if [ -n "$differ" ]; then
    differ=$(echo $differ)
    say "differs from the native capture: ${differ:0:400}"
    exit 1
  fi
  say "frames.csv, $(ls "$ref" | grep -c '\.png$') PNG frames and music.wav have the native bytes"
}
