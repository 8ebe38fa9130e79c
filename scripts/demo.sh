#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the demo in a window
# from the folder that holds its data files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_BUILD_DIR:-$top/build}
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh"
cd "$build/data"
exec ../qn -w "$@"
