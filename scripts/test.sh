#!/usr/bin/env bash
# Installs what is missing (the test tools too), builds everything and runs
# the whole test suite.
# Extra arguments go to cmake's configure step (e.g. -DQN_SANITIZE=ON with
# QN_BUILD_DIR=build-san).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
bash "$top/scripts/install-deps.sh" --test
# The demo command leaves tests and benchmarks out of a new build folder.
QN_BUILD_DIR=$build bash "$top/scripts/build.sh" -DQN_TESTS=ON -DQN_BENCH=ON "$@"
# The display tests also run qn over sdl12-compat, unpacked here once.
bash "$top/scripts/sdl12-compat.sh" "$build/sdl12-compat" >/dev/null
bash "$top/scripts/run-suite.sh" "$build" --output-on-failure -j"$(nproc)" --timeout 900
