#!/usr/bin/env bash
# The sanitizer build (AddressSanitizer and UndefinedBehaviorSanitizer with
# float-cast-overflow) in build-san: every unit test, then the whole demo
# in qn-capture. Then valgrind's memcheck on a short qn-capture run of the
# plain build: no errors, nothing definitely lost.
#   scripts/test-sanitize.sh      (QN_SAN_BUILD_DIR, QN_BUILD_DIR to move the builds)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
san=${QN_SAN_BUILD_DIR:-$top/build-san}
plain=${QN_BUILD_DIR:-$top/build}
jobs=$(nproc)
bash "$top/scripts/install-deps.sh" --test
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "sanitize: building $san"
cmake -S "$top" -B "$san" -DQN_SANITIZE=ON -DQN_BENCH=OFF >/dev/null
cmake --build "$san" -j"$jobs"

# The unit tests are the GoogleTest cases; the end-to-end scripts run in
# the plain build, where their timing means something.
(cd "$san" && ctest --show-only=json-v1) >"$work/tests.json"
python3 - "$work/tests.json" >"$work/unit" <<'EOF'
import json, re, sys
tests = json.load(open(sys.argv[1]))["tests"]
names = [t["name"] for t in tests
         if t.get("command") and not t["command"][0].endswith("bash") and not t["command"][-1].endswith(".sh")]
print("^(" + "|".join(re.escape(n) for n in names) + ")$")
EOF
echo "sanitize: $(tr '|' '\n' <"$work/unit" | wc -l) unit tests"
bash "$top/scripts/run-suite.sh" "$san" --output-on-failure -j"$jobs" --timeout 900 -R "$(cat "$work/unit")"

echo "sanitize: the whole demo in qn-capture"
(cd "$san/data" && timeout -k 10 3600 "$san/qn-capture" -o "$work/demo" --no-wav 2>"$work/demo.err") || {
  cat "$work/demo.err"
  echo "sanitize: qn-capture failed"
  exit 1
}
tail -n 1 "$work/demo.err"
grep -q 'ended at position 42 row 33$' "$work/demo.err" || { echo "sanitize: the demo did not reach its closing row"; exit 1; }

echo "valgrind: a short whole demo in qn-capture"
[ -x "$plain/qn-capture" ] && [ -x "$plain/tests/reliability/reliability_module" ] || {
  cmake -S "$top" -B "$plain" -DQN_TESTS=ON >/dev/null
  cmake --build "$plain" -j"$jobs" --target qn-capture reliability_module qn_data_files
}
mkdir -p "$work/vg"
cp "$plain/data/zorv.dat" "$plain/data/objs.3dw" "$work/vg/"
"$plain/tests/reliability/reliability_module" "$work/vg/music.xm" 43 40  # the closing row in about a second
status=0
(cd "$work/vg" && timeout -k 10 1800 valgrind -q --error-exitcode=99 --leak-check=full \
  --errors-for-leak-kinds=definite --show-leak-kinds=definite \
  "$plain/qn-capture" -o out --max-seconds 20 >"$work/vg.out" 2>"$work/vg.err") || status=$?
if [ "$status" != 0 ]; then
  cat "$work/vg.err"
  echo "valgrind: status $status (99: memcheck found errors)"
  exit 1
fi
tail -n 1 "$work/vg.err"
echo "sanitize: all passed"
