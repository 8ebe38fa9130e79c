#!/usr/bin/env bash
# qn-web, the demo in a browser tab.
#   scripts/web.sh            build, then serve the page on 127.0.0.1:8000
#   scripts/web.sh --build    build into build-web/: qn.html, qn.js, qn.wasm
#                             and qn.data, one static folder to host
#   scripts/web.sh --test     build, then the browser test in chromium and in
#                             firefox-esr (CTest in build-web), their sound on
#                             a private PulseAudio null sink
#   scripts/web.sh --bench    each scene's drawing time in WebAssembly (node)
#                             and natively, from one run, with their ratio
# The page's data files and the test's reference frames come from the native
# build ($QN_BUILD_DIR, default build/), made here when missing. The browser
# build is $QN_WEB_BUILD_DIR (default build-web/); $QN_WEB_PORT sets the port.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
native=${QN_BUILD_DIR:-$top/build}
web=${QN_WEB_BUILD_DIR:-$top/build-web}
port=${QN_WEB_PORT:-8000}
jobs=$(nproc)
mode=${1:-serve}
case $mode in
  serve | --build | --test | --bench) ;;
  -h | --help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "web.sh: unknown option '$mode' (--build, --test, --bench or none)" >&2; exit 2 ;;
esac
# emcc's JS optimizer needs acorn, which Debian puts where only Debian's own
# node looks.
export NODE_PATH=/usr/share/nodejs

build() {
  bash "$top/scripts/install-deps.sh" --web "$web"
  local targets=(qn-capture qn_data_files) web_targets=(qn-web)
  if [ "$mode" = --bench ]; then
    targets+=(qn_scene_time)
    web_targets+=(qn_scene_time)
  fi
  # The page needs no native tests (nor benchmarks, but for --bench): a new
  # native build folder leaves them out; an existing one keeps its choice.
  local configure=()
  if [ ! -f "$native/CMakeCache.txt" ]; then
    configure=(-DQN_TESTS=OFF)
    [ "$mode" = --bench ] || configure+=(-DQN_BENCH=OFF)
  fi
  cmake -S "$top" -B "$native" "${configure[@]}" >/dev/null
  cmake --build "$native" -j"$jobs" --target "${targets[@]}"
  emcmake cmake -S "$top" -B "$web" -DQN_WEB=ON -DQN_NATIVE_BUILD="$native" >/dev/null
  cmake --build "$web" -j"$jobs" --target "${web_targets[@]}"
}

case $mode in
  --build)
    build
    ;;
  serve)
    build
    echo "qn-web: open http://127.0.0.1:$port/qn.html (Ctrl-C stops the server)"
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$web"
    ;;
  --test)
    build
    # puppeteer-core, pinned, into the build folder; again when the lock changes.
    lock=$top/tests/web/package-lock.json
    if ! cmp -s "$lock" "$web/web-test/package-lock.json" || [ ! -d "$web/web-test/node_modules" ]; then
      mkdir -p "$web/web-test"
      cp "$top/tests/web/package.json" "$lock" "$web/web-test/"
      (cd "$web/web-test" && npm ci --no-audit --no-fund --loglevel=error)
    fi
    source "$top/tests/e2e/lib/audio.sh"
    audio_start_server
    cd "$web"
    ctest --output-on-failure --timeout 2400
    ;;
  --bench)
    build
    # Alternating rounds, the best of each side per row: whatever else the
    # machine does falls on both.
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    cd "$native/data"
    for round in 1 2 3; do
      "$native/bench/web/qn_scene_time" >>"$out/native.txt"
      node "$web/bench/web/qn_scene_time.js" >>"$out/wasm.txt"
    done
    awk '
      FNR == 1 { side++ }
      !/^(scene|tables_compute)/ { next }
      { t = $2 + 0; if (!(($1, side) in best) || t < best[$1, side]) best[$1, side] = t
        if (side == 1 && !($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
      END {
        printf "%-18s %12s %12s %7s\n", "row", "native us", "wasm us", "ratio"
        for (i = 1; i <= n; i++) {
          r = order[i]
          printf "%-18s %12.1f %12.1f %7.2f\n", r, best[r, 1], best[r, 2], best[r, 2] / best[r, 1]
        }
      }' "$out/native.txt" "$out/wasm.txt"
    ;;
esac
