#!/usr/bin/env bash
# Runs a build's CTest suite the way every test command does: with nothing on
# standard input, and with a temporary directory of its own that must be
# empty again afterwards, so a test that leaves files behind fails the run
# and is named.
#   scripts/run-suite.sh BUILD [ctest arguments...]
set -euo pipefail
build=$1
shift
tmp=$(mktemp -d "${TMPDIR:-/tmp}/qn-suite.XXXXXX")
# Without XDG_RUNTIME_DIR, a sound-server client makes its runtime folder in
# TMPDIR and links it from ~/.config/pulse, for good: the suite's clients get
# a runtime folder of their own, removed with the suite's.
runtime=""
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  runtime=$(mktemp -d "${TMPDIR:-/tmp}/qn-runtime.XXXXXX")
  export XDG_RUNTIME_DIR=$runtime
fi
status=0
(cd "$build" && TMPDIR=$tmp ctest "$@" </dev/null) || status=$?
left=$(cd "$tmp" && find . -mindepth 1 -maxdepth 1 -printf '%P\n' | sort)
rm -rf "$tmp" ${runtime:+"$runtime"}
if [ -n "$left" ]; then
  echo "run-suite: the tests left $(wc -l <<<"$left") entries in their temporary directory:" $left >&2
  status=1
fi
exit $status
