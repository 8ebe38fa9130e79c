#!/usr/bin/env bash
# The live music tests against a private sound server (the autodetected path
# a desktop user gets), then the start/stop cycles on SDL's disk driver at
# full speed, where the output thread runs flat out.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/audio.sh"
bin="$QN_BIN_DIR/tests/music/music_live_test"

audio_start_server
rec_dir=$(mktemp -d)
cleanup_add rm -rf "$rec_dir"
rec=$rec_dir/live.wav
audio_record "$rec"
timeout -k 5 120 "$bin" --gtest_filter='Live.Clock*'
audio_stop_record
level=$(audio_rms "$rec")
echo "recorded RMS: $level dBFS"
awk -v l="$level" 'BEGIN { exit !(l > -45) }' || { echo "the music was not heard"; exit 1; }
timeout -k 5 200 "$bin" --gtest_filter='Live.TwoHundred*'

audio_stop
(
  audio_use_disk /dev/null 0
  timeout -k 5 200 "$bin" --gtest_filter='Live.TwoHundred*'
)
