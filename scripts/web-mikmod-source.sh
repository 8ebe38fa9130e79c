#!/usr/bin/env bash
# libmikmod's Debian source, for the browser build to compile with emcc: the
# version of the installed libmikmod3, so that the page mixes exactly what qn
# and qn-capture mix. Idempotent. Run by scripts/install-deps.sh --web DIR.
#   scripts/web-mikmod-source.sh DIR    unpacks into DIR/mikmod-source/
# Where the machine has no deb-src entry, one is added for the same archive
# its deb entries name (same URIs, suites, components and keys).
set -euo pipefail
dir=${1:?usage: scripts/web-mikmod-source.sh BUILD_DIR}
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive

version=$(dpkg-query -W -f='${Version}\n' "libmikmod3:$(dpkg --print-architecture)" 2>/dev/null || true)
[ -n "$version" ] || {
  echo "web-mikmod-source: libmikmod3 is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
}
upstream=${version#*:}
upstream=${upstream%-*}
out=$dir/mikmod-source
if [ "$(cat "$out/version" 2>/dev/null)" = "$version" ] && [ -d "$out/libmikmod-$upstream" ]; then
  exit 0
fi

lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
if ! grep -qsE '^(Types:.*deb-src|deb-src )' "${lists[@]}"; then
  deb822=$(for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed -n 's/^Types: deb$/Types: deb-src/; /^Types: deb-src$/,/^$/p' "$f" && echo
  done)
  oneline=$(grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list | sed 's/^deb /deb-src /' || true)
  [ -n "$deb822$oneline" ] || {
    echo "web-mikmod-source: no deb entries in /etc/apt to derive a deb-src entry from" >&2
    exit 1
  }
  [ -z "$deb822" ] || echo "$deb822" | $SUDO tee /etc/apt/sources.list.d/qn-deb-src.sources >/dev/null
  [ -z "$oneline" ] || echo "$oneline" | $SUDO tee /etc/apt/sources.list.d/qn-deb-src.list >/dev/null
  echo "web-mikmod-source: added deb-src entries for the machine's archive"
  $SUDO apt-get update -qq
fi
grep -q '^Package: libmikmod' <<<"$(apt-cache showsrc "libmikmod=$version" 2>/dev/null)" || $SUDO apt-get update -qq

rm -rf "$out"
mkdir -p "$out"
# The _apt user may not write here; apt then warns and downloads as us.
(cd "$out" && apt-get source -qq -o APT::Sandbox::User="$(id -un)" "libmikmod=$version" >/dev/null)
[ -f "$out/libmikmod-$upstream/include/mikmod.h" ] || {
  echo "web-mikmod-source: apt-get source libmikmod=$version gave no libmikmod-$upstream" >&2
  exit 1
}
echo "$version" >"$out/version"
echo "web-mikmod-source: libmikmod $version in $out/libmikmod-$upstream"
