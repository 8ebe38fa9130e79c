#!/usr/bin/env bash
# Makes the target libraries of a cross build: Debian's packages of ARCH for
# libmikmod, libpng, FreeType, GoogleTest and libstdc++ with everything they need at run time,
# unpacked into DIR/sysroot. Nothing is installed into the system: apt runs
# with a state of its own in DIR/apt (lists for ARCH alone, an empty
# "installed" list), so the host's packages, its foreign architectures and
# any version skew between the host's updates and the target's cannot get in
# the way. The compiler's own C library and libstdc++ (the cross compiler
# packages) are used to build; the sysroot's are what the programs run on.
#   scripts/cross-sysroot.sh ARCH DIR      (ARCH: i386, arm64 or s390x)
# Idempotent: the lists are fetched once, the .debs are kept in DIR/apt/debs,
# and the sysroot is unpacked again only when the set of packages changes.
set -euo pipefail
arch=${1:?usage: cross-sysroot.sh ARCH DIR}
dir=${2:?usage: cross-sysroot.sh ARCH DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
state=$dir/apt
sysroot=$dir/sysroot
roots=(libmikmod-dev libpng-dev libfreetype-dev libgtest-dev libstdc++6)
# Headers and link-time files the cross compiler packages bring themselves;
# their copies in the sysroot would shadow the compiler's own.
toolchain='^(libc6-dev|linux-libc-dev|libcrypt-dev|libnsl-dev|libtirpc-dev|libc-dev-bin|rpcsvc-proto|libstdc\+\+-12-dev|libgcc-12-dev)$'

mkdir -p "$state"/{lists/partial,cache/archives/partial,debs,etc/preferences.d}
: >"$state/status"
apt_opts=(
  -o "APT::Architecture=$arch" -o "APT::Architectures=$arch"
  -o "Dir::State=$state" -o "Dir::State::Lists=$state/lists" -o "Dir::State::status=$state/status"
  -o "Dir::Cache=$state/cache" -o "Dir::Etc::preferencesparts=$state/etc/preferences.d"
  -o "Acquire::IndexTargets::deb-src::Sources::DefaultEnabled=false"
  -o "Acquire::Languages=none" -o "APT::Sandbox::User=root" -o "Debug::NoLocking=1"
  -o "APT::Get::List-Cleanup=0" -o "quiet=1"
)
update() { apt-get "${apt_opts[@]}" update >"$state/update.log" 2>&1 || { cat "$state/update.log"; exit 1; }; }
[ -n "$(ls "$state/lists" | grep -v -e '^partial$' -e '^lock$')" ] || update

# The packages: the roots and their whole dependency closure, real packages
# only (apt-cache prints virtual ones as <name>).
closure() {
  apt-cache "${apt_opts[@]}" depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances "${roots[@]}" | grep -v -e '^ ' -e '^<' | sed 's/:.*//' |
    sort -u | grep -Ev "$toolchain"
}
download() {
  (cd "$state/debs" && apt-get "${apt_opts[@]}" download "$@" >"$state/download.log" 2>&1)
}
mapfile -t packages < <(closure)
[ ${#packages[@]} -gt 10 ] || { echo "cross-sysroot: no package list for $arch (apt-cache depends found ${#packages[@]})"; exit 1; }

# The exact versions wanted now. The .debs of the last set are kept; a new
# set is fetched whole, with the lists fetched again once should they have
# gone stale since.
versions() {
  apt-cache "${apt_opts[@]}" show --no-all-versions "${packages[@]}" |
    awk '/^Package:/ { p = $2 } /^Version:/ { print p "=" $2 }' | sort
}
versions >"$state/wanted.txt"
if ! cmp -s "$state/wanted.txt" "$state/debs.stamp"; then
  echo "cross-sysroot: fetching $(wc -l <"$state/wanted.txt") packages for $arch"
  rm -rf "$state/debs" "$state/debs.stamp" && mkdir -p "$state/debs"
  download $(cat "$state/wanted.txt") || {
    update
    mapfile -t packages < <(closure)
    versions >"$state/wanted.txt"
    rm -f "$state"/debs/*.deb
    download $(cat "$state/wanted.txt") || { cat "$state/download.log"; exit 1; }
  }
  cp "$state/wanted.txt" "$state/debs.stamp"
fi
if cmp -s "$state/debs.stamp" "$dir/sysroot.stamp" && [ -d "$sysroot" ]; then exit 0; fi
echo "cross-sysroot: unpacking $(wc -l <"$state/debs.stamp") packages into $sysroot"
rm -rf "$sysroot" "$dir/sysroot.stamp"
mkdir -p "$sysroot"
for f in "$state"/debs/*.deb; do dpkg -x "$f" "$sysroot"; done
# Symbolic links to absolute paths (libfoo.so -> /lib/...) point into the host;
# make them relative so that they stay inside the sysroot.
find "$sysroot" -type l -lname '/*' | while read -r link; do
  target=$(readlink "$link")
  ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$sysroot$target")" "$link"
done
cp "$state/debs.stamp" "$dir/sysroot.stamp"
