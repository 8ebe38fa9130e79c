#!/usr/bin/env bash
# `cmake --install` into a private prefix: every file where Debian's layout
# for games puts it, the icons at the sizes their folders name, the menu
# entry and the AppStream record accepted by their validators; the installed
# qn runs from any folder (its launcher finds the data), starts the music and
# shuts down in order on SIGTERM; the installed qn-capture, started in
# another folder, reads the installed data and writes its relative -o there.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/cleanup.sh"
work=$(mktemp -d)
cleanup_add rm -rf "$work"
fail() { echo "FAIL: $*"; exit 1; }
cmake --install "$QN_BIN_DIR" --prefix "$work/prefix" >/dev/null
id=example.c_seed_51d1ad9a.qn
for f in games/qn games/qn-vga games/qn-capture games/objtool lib/qn/qn lib/qn/qn-capture \
         share/games/qn/zorv.dat share/games/qn/objs.3dw share/games/qn/music.xm \
         share/man/man6/qn.6 share/man/man6/qn-vga.6 share/man/man1/qn-capture.1 \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml; do
  [ -e "$work/prefix/$f" ] || fail "$f not installed"
done
for size in 16 24 32 48 64 128 256; do
  icon=$work/prefix/share/icons/hicolor/${size}x$size/apps/qn.png
  [ "$(identify -format '%wx%h' "$icon" 2>&1)" = "${size}x$size" ] || fail "no ${size}x$size icon"
done
# Without a word from either: a warning is as much a fault as an error.
report=$(desktop-file-validate "$work/prefix/share/applications/$id.desktop" 2>&1) ||
  fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
report=$(appstreamcli validate --no-net --pedantic --explain \
  "$work/prefix/share/metainfo/$id.metainfo.xml" 2>&1) || fail "appstreamcli: $report"
! grep -E '^[EW]:' <<<"$report" || fail "appstreamcli: $report"

mkdir "$work/elsewhere" && cd "$work/elsewhere"
status=0
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null \
  timeout -s TERM -k 5 6 "$work/prefix/games/qn" -w >"$work/out" 2>/dev/null || status=$?
[ "$(tail -n 1 "$work/out")" = '*** Shutdown ***' ] || { cat "$work/out"; fail "no orderly shut-down"; }
grep -q 'Initiating joined sound and timer startup sequence' "$work/out" || fail "music did not start"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "qn wrote into the current folder"

"$work/prefix/games/qn-capture" -o clip --to 1 >"$work/out" 2>"$work/err" ||
  fail "the installed qn-capture: $(cat "$work/err")"
[ "$(wc -l <clip/frames.csv)" -eq 51 ] || fail "qn-capture: not 50 frames in ./clip"
[ "$(ls -A)" = clip ] || fail "qn-capture wrote beside ./clip: $(ls -A)"
echo "installed qn runs from another folder (status $status after SIGTERM); qn-capture writes ./clip"
