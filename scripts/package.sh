#!/usr/bin/env bash
# Builds the Debian package the way Debian does and checks it: from a clean
# clone of the committed tree, `dpkg-buildpackage -us -uc -b` makes qn and
# qn-dbgsym in pkg/ (or $QN_PKG_DIR); lintian --pedantic must find no error
# and no warning in them; then tests/packaging/deb_install_run.sh (libraries
# declared, qn-capture from the unpacked package).
#
#   scripts/package.sh           build once, check
#   scripts/package.sh --twice   and again from a second clone in another
#                                folder: the .deb files must be the same
#                                bytes (diffoscope shows where they differ)
#
# Uncommitted changes are not in the package: commit first.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tests/e2e/lib/cleanup.sh"
twice=0
case ${1:-} in
  --twice) twice=1 ;;
  "") ;;
  *) echo "usage: scripts/package.sh [--twice]" >&2; exit 2 ;;
esac
bash "$top/scripts/install-deps.sh" --package
out=${QN_PKG_DIR:-$top/pkg}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
cleanup_add rm -rf "$work"

# build FOLDER: a clone in FOLDER/qn built there; the files land in FOLDER.
build() {
  git clone -q "$top" "$1/qn"
  echo "package: building in $1/qn ($(git -C "$1/qn" log -1 --format=%h))"
  (cd "$1/qn" && dpkg-buildpackage -us -uc -b -Jauto >"$1/build.log" 2>&1) ||
    { tail -30 "$1/build.log" >&2; echo "package: dpkg-buildpackage failed; log above" >&2; exit 1; }
}

build "$work/first"
if [ "$twice" = 1 ]; then
  # Another folder, of another depth, and a later time.
  mkdir -p "$work/second/elsewhere"
  build "$work/second/elsewhere"
  same=1
  for deb in "$work"/first/*.deb; do
    other=$work/second/elsewhere/$(basename "$deb")
    sha256sum "$deb" "$other" | sed "s|$work/||"
    if ! cmp -s "$deb" "$other"; then
      same=0
      diffoscope --text - "$deb" "$other" | sed -n 1,200p || true
    fi
  done
  [ "$same" = 1 ] || { echo "package: the two builds differ" >&2; exit 1; }
  echo "package: the two builds are the same bytes"
fi

cp "$work"/first/*.deb "$work"/first/*.changes "$work"/first/*.buildinfo "$out/"
changes=$(echo "$out"/qn_*.changes)
report=$(lintian --pedantic --info "$changes" 2>&1) || true
echo "$report"
! grep -E '^[EW]: ' <<<"$report" >/dev/null || { echo "package: lintian found faults" >&2; exit 1; }
bash "$top/tests/packaging/deb_install_run.sh" "$(echo "$out"/qn_*_"$(dpkg --print-architecture)".deb)"
echo "package: $(cd "$out" && ls ./*.deb | tr '\n' ' ')in $out"
