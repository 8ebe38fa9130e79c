#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# Extra arguments go to cmake's configure step (e.g. -DQN_SANITIZE=ON with
# QN_BUILD_DIR=build-san).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
bash "$top/scripts/install-deps.sh"
QN_BUILD_DIR=$build bash "$top/scripts/build.sh" "$@"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 900
