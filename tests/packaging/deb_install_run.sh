#!/usr/bin/env bash
# deb_install_run.sh QN.deb: the Debian package's checks beyond lintian.
# Every library ldd finds for its programs comes from a package it declares
# (or one of theirs), and unpacked into a scratch root its qn-capture
# renders a second of the demo from another folder, into a relative -o.
set -euo pipefail
source "$(dirname "$0")/../e2e/lib/cleanup.sh"
deb=$(readlink -f "$1")
work=$(mktemp -d)
cleanup_add rm -rf "$work"
fail() { echo "FAIL: $*"; exit 1; }
dpkg-deb -x "$deb" "$work/root"

declared=$(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/[,|]/ /g')
[ -n "$declared" ] || fail "the package declares no dependencies"
covered=" $(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
  --no-breaks --no-replaces --no-enhances $declared 2>/dev/null | grep -v '^ ' | sort -u | tr '\n' ' ') "
libs=$(for program in "$work"/root/usr/games/objtool "$work"/root/usr/lib/qn/*; do
  ldd "$program" | awk '$3 ~ /^\// {print $3}'
done | sort -u)
# dpkg knows a library by the path its package ships, /lib or /usr/lib.
owners=$(for lib in $libs; do echo "$lib" "$(readlink -f "$lib")"; done | xargs dpkg-query -S 2>/dev/null || true)
for lib in $libs; do
  owner=$(grep -F -e ": $lib" -e ": $(readlink -f "$lib")" <<<"$owners" | sed -n 1p | cut -d: -f1)
  [ -n "$owner" ] || fail "$lib belongs to no package"
  [[ $covered == *" $owner "* ]] || fail "$lib comes from $owner, which the package does not declare"
done

mkdir "$work/elsewhere" && cd "$work/elsewhere"
"$work/root/usr/games/qn-capture" -o capture --to 1 >"$work/out" 2>"$work/err" ||
  fail "qn-capture from the package: $(cat "$work/err")"
[ "$(tail -n 1 "$work/out")" = '*** Shutdown ***' ] || fail "no orderly end: $(cat "$work/out")"
[ "$(wc -l <capture/frames.csv)" -eq 51 ] || fail "not 50 frames in ./capture"
echo "the package declares: $(dpkg-deb -f "$deb" Depends)"
