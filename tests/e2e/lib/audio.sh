# Shell library for tests that need a sound output.
#
#   source "$QN_SOURCE_DIR/tests/e2e/lib/audio.sh"
#   audio_start_server            # private sound server with a null sink; exports PULSE_SERVER
#   audio_record out.wav          # records the sink's monitor in the background
#   audio_stop_record             # ends the recording (the WAV is complete after it)
#   audio_rms out.wav             # prints the RMS level in dBFS (sox)
#   audio_use_disk out.raw        # no daemon: SDL's disk driver writes the mixed sound
#
# The server and the recorder are stopped by their PIDs when the script exits
# (cleanup.sh).

source "$(dirname "${BASH_SOURCE[0]}")/cleanup.sh"

AUDIO_DIR=""
AUDIO_SERVER_PID=""
AUDIO_RECORD_PID=""

audio_stop() {
  audio_stop_record
  if [ -n "$AUDIO_SERVER_PID" ]; then
    kill "$AUDIO_SERVER_PID" 2>/dev/null || true
    wait "$AUDIO_SERVER_PID" 2>/dev/null || true
    AUDIO_SERVER_PID=""
  fi
  if [ -n "$AUDIO_DIR" ]; then
    rm -rf "$AUDIO_DIR"
    AUDIO_DIR=""
  fi
}

audio_start_server() {
  AUDIO_DIR=$(mktemp -d)
  cleanup_add audio_stop
  mkdir -p "$AUDIO_DIR/runtime" "$AUDIO_DIR/home"
  # Everything the server keeps lives in the private folder; norewinds stops
  # the null sink from stalling for up to 2 s at start.
  XDG_RUNTIME_DIR="$AUDIO_DIR/runtime" HOME="$AUDIO_DIR/home" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --load="module-null-sink sink_name=ci norewinds=1" \
    --load="module-native-protocol-unix socket=$AUDIO_DIR/pulse.sock auth-anonymous=1" \
    >"$AUDIO_DIR/server.log" 2>&1 &
  AUDIO_SERVER_PID=$!
  export PULSE_SERVER="unix:$AUDIO_DIR/pulse.sock"
  local i
  for i in $(seq 1 600); do
    if pactl info >/dev/null 2>&1; then
      return 0
    fi
    if ! kill -0 "$AUDIO_SERVER_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "audio: the sound server did not start" >&2
  cat "$AUDIO_DIR/server.log" >&2 || true
  return 1
}

audio_record() {
  parec -d ci.monitor --file-format=wav "$1" &
  AUDIO_RECORD_PID=$!
  sleep 0.3
}

audio_stop_record() {
  if [ -n "$AUDIO_RECORD_PID" ]; then
    kill -INT "$AUDIO_RECORD_PID" 2>/dev/null || true
    wait "$AUDIO_RECORD_PID" 2>/dev/null || true
    AUDIO_RECORD_PID=""
  fi
}

# RMS of the whole file in dBFS (-inf for silence prints a large negative).
audio_rms() {
  sox "$@" -n stats 2>&1 | awk '/^RMS lev dB/ {print ($4 == "-inf" ? -200 : $4)}'
}

# Peak of the whole file in dBFS.
audio_peak() {
  sox "$@" -n stats 2>&1 | awk '/^Pk lev dB/ {print ($4 == "-inf" ? -200 : $4)}'
}

audio_use_disk() {
  export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$1" SDL_DISKAUDIODELAY=${2:-23}
}
