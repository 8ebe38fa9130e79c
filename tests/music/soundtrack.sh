#!/usr/bin/env bash
# The soundtrack as heard: rendered through libmikmod in the demo's mode, it
# reaches the closing row on time, its level is neither faint nor crushed and
# never clips, and the other two players agree on its length. The spectrogram
# stays in the build folder (tests/music/soundtrack.png) to be looked at.
set -euo pipefail
xm="$QN_DATA_DIR/music.xm"
out="$QN_BIN_DIR/tests/music"
fail() { echo "FAIL: $*"; exit 1; }
within() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

timings=$(timeout -k 5 240 "$out/music_render" "$xm" "$out/soundtrack.wav" | grep -v '^Initiating')
closing=$(echo "$timings" | awk '/^closing/ {print $2}')
end=$(echo "$timings" | awk '/^end/ {print $2}')
echo "closing row at $closing s, song ends at $end s"
# position 42 row 33: 2721 rows of 6 ticks at 128 BPM
within "$closing" 315.7 322.1 || fail "closing row at $closing s"

stats=$(sox "$out/soundtrack.wav" -n stats 2>&1)
peak=$(echo "$stats" | awk '/^Pk lev dB/ {print $4}')
rms=$(echo "$stats" | awk '/^RMS lev dB/ {print $4}')
echo "peak $peak dBFS, RMS $rms dBFS"
within "$peak" -100 -0.5 || fail "peak $peak dBFS"
within "$rms" -24 -10 || fail "RMS $rms dBFS"
sox "$out/soundtrack.wav" -n spectrogram -x 1600 -y 513 -t "music.xm" -o "$out/soundtrack.png"

mpt=$(timeout -k 5 60 openmpt123 --info "$xm" 2>&1)
grep -q "Orders.....: 43" <<<"$mpt" || fail "openmpt123: $mpt"
mpt_s=$(echo "$mpt" | awk -F'[ :.]+' '/^Duration/ {print $2 * 60 + $3}')
x=$(timeout -k 5 60 xmp --load-only --verbose "$xm" 2>&1)
grep -q "Module length: 43 patterns" <<<"$x" || fail "xmp: $x"
xmp_s=$(echo "$x" | awk '/^Duration/ {gsub(/min|s/, " ", $3); split($3, t, " "); print t[1] * 60 + t[2]}')
echo "length: libmikmod $end s, openmpt123 $mpt_s s, xmp $xmp_s s"
lo=$(awk -v e="$end" 'BEGIN { print e * 0.99 }')
hi=$(awk -v e="$end" 'BEGIN { print e * 1.01 }')
within "$mpt_s" "$lo" "$hi" || fail "openmpt123 length $mpt_s"
within "$xmp_s" "$lo" "$hi" || fail "xmp length $xmp_s"
if grep -qi "warning" <<<"$x$mpt"; then fail "a player warned"; fi
echo "all passed"
