#!/usr/bin/env bash
# A long run, not part of CI: qn in real time under an X server with a sound
# server, the whole demo three times in a row. Each run must end by itself at
# song position 42, row 33, with status 0, within the time limit, and its
# resident memory must stay flat after start-up. The log is kept.
#   scripts/soak.sh [runs] [log]     (QN_BUILD_DIR: the build to use, default build/)
# A full run takes the length of the song three times, plus 4 s each.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
runs=${1:-3}
log=${2:-$top/soak-$(date +%Y%m%d-%H%M%S).log}
limit=${QN_SOAK_LIMIT:-900}         # seconds a run may take before it counts as a hang
settle=${QN_SOAK_SETTLE:-20}        # seconds after the music starts before memory is judged
slack_kb=${QN_SOAK_RSS_SLACK_KB:-2048}

for f in qn tests/reliability/libreliability_song_end.so data/zorv.dat data/objs.3dw data/music.xm; do
  [ -e "$build/$f" ] || { echo "soak: $build/$f is missing; build first (scripts/build.sh)" >&2; exit 2; }
done
source "$top/tests/e2e/lib/xvfb.sh"
source "$top/tests/e2e/lib/audio.sh"
work=$(mktemp -d)
xvfb_start
audio_start_server
cleanup_add rm -rf "$work"
cp "$build"/data/{zorv.dat,objs.3dw,music.xm} "$work/"
# Another module for a quick try of the script itself (QN_SOAK_MODULE).
[ -z "${QN_SOAK_MODULE:-}" ] || cp "$QN_SOAK_MODULE" "$work/music.xm"

exec > >(tee "$log") 2>&1
echo "soak: $runs runs of $build/qn, log in $log, $(date)"
failed=0
for run in $(seq 1 "$runs"); do
  rm -f "$work"/{out,err,end,rss}
  started=$(date +%s)
  (cd "$work" && QN_SONG_END_FILE="$work/end" LD_PRELOAD="$build/tests/reliability/libreliability_song_end.so" \
    exec "$build/qn" -w >"$work/out" 2>"$work/err") &
  pid=$!
  # Resident memory once a second, from the first scene on.
  music_at=""
  while kill -0 "$pid" 2>/dev/null; do
    now=$(($(date +%s) - started))
    if [ -z "$music_at" ] && grep -q 'joined sound' "$work/out" 2>/dev/null; then music_at=$now; fi
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$rss" ] && echo "$now $rss" >>"$work/rss"
    if [ "$now" -ge "$limit" ]; then
      echo "soak: run $run still going after ${limit}s: a hang"
      kill -KILL "$pid" 2>/dev/null || true
      break
    fi
    sleep 1
  done
  status=0
  wait "$pid" || status=$?
  took=$(($(date +%s) - started))
  end=$(cat "$work/end" 2>/dev/null || echo "none")
  # Growth after the settling time: the last sample against the first one then.
  growth=$(awk -v from=$((${music_at:-0} + settle)) '$1 >= from { if (first == "") first = $2; last = $2; max = $2 > max ? $2 : max }
                                                     END { if (first == "") print "none"; else print last - first, max - first }' "$work/rss")
  echo "soak: run $run: status $status, ${took}s, ended at position/row $end, resident memory growth (last, peak) in kB: $growth"
  echo "soak: run $run: resident kB at 10 s steps: $(awk 'NR % 10 == 1 {printf "%s ", $2}' "$work/rss")"
  sed 's/^/  stdout: /' "$work/out"
  [ -s "$work/err" ] && sed 's/^/  stderr: /' "$work/err"
  ok=1
  [ "$status" = 0 ] || ok=0
  [ "$end" = "42 33" ] || ok=0
  [ "$(tail -n 1 "$work/out")" = '*** Shutdown ***' ] || ok=0
  if [ "$growth" = none ]; then ok=0; else
    read -r last peak <<<"$growth"
    [ "$last" -le "$slack_kb" ] && [ "$peak" -le "$slack_kb" ] || ok=0
  fi
  if [ "$ok" = 1 ]; then echo "soak: run $run passed"; else echo "soak: run $run FAILED"; failed=$((failed + 1)); fi
done
echo "soak: $failed of $runs runs failed, $(date)"
[ "$failed" = 0 ]
