#!/usr/bin/env bash
# Configures and builds everything (programs, tools, data files, tests) into
# build/ (or $QN_BUILD_DIR). Extra arguments go to cmake's configure step.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
