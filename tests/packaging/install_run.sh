#!/usr/bin/env bash
# `cmake --install` into a private prefix; the installed qn runs from any
# folder (its launcher finds the data), starts the music and shuts down in
# order on SIGTERM.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$QN_BIN_DIR" --prefix "$work/prefix" >/dev/null
for f in bin/qn bin/qn-vga bin/qn-capture bin/objtool share/qn/zorv.dat share/qn/objs.3dw share/qn/music.xm \
         share/man/man6/qn.6 share/man/man1/qn-capture.1; do
  [ -e "$work/prefix/$f" ] || { echo "FAIL: $f not installed"; exit 1; }
done
mkdir "$work/elsewhere" && cd "$work/elsewhere"
status=0
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null \
  timeout -s TERM -k 5 6 "$work/prefix/bin/qn" -w >"$work/out" 2>/dev/null || status=$?
[ "$(tail -n 1 "$work/out")" = '*** Shutdown ***' ] || { echo "FAIL: no orderly shut-down"; cat "$work/out"; exit 1; }
grep -q 'Initiating joined sound and timer startup sequence' "$work/out" || { echo "FAIL: music did not start"; exit 1; }
[ -z "$(ls -A "$work/elsewhere")" ] || { echo "FAIL: wrote into the current folder"; exit 1; }
echo "installed qn runs from another folder (status $status after SIGTERM)"
