#!/usr/bin/env bash
# Proves the committed tree on a machine that has never seen the project: a
# fresh Debian 12 minbase root (debootstrap, from the archive this machine's
# apt uses) with proc, sys, dev, dev/pts and dev/shm mounted, a clone of HEAD
# in it, and .ci/run run there as CI runs it (CI=true, no standard input, a
# bare environment). Prints each step's time; the whole log is kept in
# ROOT.log. Needs root.
#   scripts/ci-fresh-root.sh [--keep] [ROOT]
#     ROOT    where the root is made (default /var/tmp/qn-fresh-root); an
#             old one there is removed first
#     --keep  leave the root in place afterwards (it is removed otherwise)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
keep=0
[ "${1:-}" = --keep ] && { keep=1; shift; }
root=${1:-/var/tmp/qn-fresh-root}
root=$(realpath -m "$root")
log=$root.log
[ "$(id -u)" = 0 ] || { echo "ci-fresh-root: needs root (debootstrap, mount, chroot)" >&2; exit 2; }
[ "$root" != / ] || { echo "ci-fresh-root: not on /" >&2; exit 2; }
start=$SECONDS
say() { echo "== fresh root: $* ($((SECONDS - start)) s)"; }

# Everything running inside the root is ended and every mount under it
# undone before anything there is removed.
release() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -KILL "${p#/proc/}" 2>/dev/null
  done
  sleep 1
  for m in dev/shm dev/pts dev sys proc; do
    if mountpoint -q "$root/$m" 2>/dev/null; then umount -R "$root/$m" || umount -lR "$root/$m"; fi
  done
  return 0
}
remove_root() {
  release
  if grep -q " $root/" /proc/mounts; then
    echo "ci-fresh-root: still mounted under $root; left in place" >&2
    return 1
  fi
  rm -rf --one-file-system "$root"
}
finish() {
  local status=$?
  if [ $keep = 1 ]; then release; else remove_root || true; fi
  exit $status
}
[ -d "$root" ] && remove_root
trap finish EXIT

command -v debootstrap >/dev/null || {
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
}
# The archive this machine uses: the first deb source apt knows.
mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '/^URIs:/ {print $2; exit}')
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
mirror=${mirror:-http://deb.debian.org/debian}
[ -n "$(git -C "$top" status --porcelain)" ] && echo "ci-fresh-root: uncommitted changes are not part of the run"

say "debootstrap --variant=minbase bookworm from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$log" 2>&1 || {
  tail -n 20 "$log"
  echo "ci-fresh-root: debootstrap failed (log: $log)"
  exit 1
}
# The same sources as this machine, so the same package versions.
rm -f "$root/etc/apt/sources.list"
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$root/etc/apt/"
for f in /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] && cp "$f" "$root/etc/apt/sources.list.d/"
done
cp /etc/resolv.conf "$root/etc/resolv.conf"
# This machine's own certificate authorities, which its registries' TLS
# may need, come along like its name server.
if [ -d /usr/local/share/ca-certificates ]; then
  mkdir -p "$root/usr/local/share/ca-certificates"
  cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
fi
mount -t proc proc "$root/proc"
mount --bind /sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"

say "a clone of $(git -C "$top" rev-parse --short HEAD) and git, as a CI machine has them"
git clone -q "$top" "$root/root/qn"
# CI keeps the machine's environment: its settings for where the
# certificate authorities are go along too.
ca_env=()
for v in SSL_CERT_FILE SSL_CERT_DIR NODE_EXTRA_CA_CERTS CURL_CA_BUNDLE GIT_SSL_CAINFO REQUESTS_CA_BUNDLE; do
  [ -z "${!v:-}" ] || ca_env+=("$v=${!v}")
done
in_root() {
  chroot "$root" env -i HOME=/root LANG=C.UTF-8 CI=true "${ca_env[@]}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@" </dev/null
}
in_root sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends git ca-certificates >/dev/null' >>"$log" 2>&1
say "bash .ci/run in the root (log: $log)"
status=0
in_root bash -c 'cd /root/qn && bash .ci/run' 2>&1 | tee -a "$log" | grep --line-buffered '^== ci:' || status=${PIPESTATUS[0]}
if [ "$status" != 0 ]; then
  tail -n 60 "$log"
  say ".ci/run failed with status $status"
  exit "$status"
fi
say ".ci/run passed"
