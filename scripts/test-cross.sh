#!/usr/bin/env bash
# A foreign architecture's build and its proof: Debian's cross compiler and
# the target's libraries (scripts/cross-sysroot.sh, nothing installed into
# the system) build every library, tool, data file and unit test into
# build-ARCH; the unit tests run under the emulator; then the data files and
# a whole qn-capture run under the emulator must have the native build's
# bytes: frames.csv, every PNG and the WAV.
#   scripts/test-cross.sh ARCH [--qemu]
#     ARCH    i386 (32-bit x86), arm64 (aarch64) or s390x (64-bit big-endian)
#     --qemu  i386 only: run through qemu-i386 even where the host kernel
#             runs i386 programs itself
# Builds: build-ARCH (QN_CROSS_BUILD_DIR), the native reference in build
# (QN_BUILD_DIR; built here if missing). qn and qn-vga are left out (SDL 1.2's
# -dev package cannot sit beside the native one), and so are the benchmarks
# (timings are the native build's business) and the end-to-end scripts.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-}
force_qemu=0
[ "${2:-}" = "--qemu" ] && force_qemu=1
case $arch in
  i386) gnu=i686-linux-gnu elf="01 0300" ;;
  arm64) gnu=aarch64-linux-gnu elf="02 b700" ;;
  s390x) gnu=s390x-linux-gnu elf="02 0016" ;;  # big-endian: the machine field reads 00 16
  *) echo "usage: scripts/test-cross.sh i386|arm64|s390x [--qemu]" >&2; exit 2 ;;
esac
if [ $force_qemu = 1 ] && [ "$arch" != i386 ]; then
  echo "test-cross: --qemu is for i386; $arch always runs under qemu" >&2
  exit 2
fi
build=${QN_CROSS_BUILD_DIR:-$top/build-$arch}
native=${QN_BUILD_DIR:-$top/build}
jobs=$(nproc)
start=$SECONDS
say() { echo "$arch: $*"; }
bash "$top/scripts/install-deps.sh" --cross "$arch"
bash "$top/scripts/cross-sysroot.sh" "$arch" "$build"

# How the host runs the target's programs: natively where its kernel can
# (tried with a static program), through qemu otherwise.
run=qemu
if [ "$arch" = i386 ] && [ $force_qemu = 0 ]; then
  probe=$build/probe
  printf 'int main(void) { return 7; }\n' >"$probe.c"
  $gnu-gcc -static -o "$probe" "$probe.c"
  status=0
  "$probe" 2>/dev/null || status=$?
  if [ $status = 7 ]; then run=native; fi
fi
if [ $run = native ]; then
  say "running natively: this kernel executes i386 programs"
elif [ "$arch" = i386 ] && [ $force_qemu = 1 ]; then
  say "running through qemu-i386 (--qemu)"
elif [ "$arch" = i386 ]; then
  say "running through qemu-i386: this kernel cannot execute i386 programs"
else
  say "running through qemu-${gnu%%-*}"
fi

say "building $build"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$arch.cmake" -DQN_CROSS_RUN=$run \
  -DQN_DISPLAY_PROGRAMS=OFF -DQN_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs"

# A build that silently came out for the host would pass for nothing.
got=$(od -An -tx1 -j4 -N1 "$build/qn-capture" | tr -d ' ')" "$(od -An -tx1 -j18 -N2 "$build/qn-capture" | tr -d ' ')
[ "$got" = "$elf" ] || { say "$build/qn-capture is not an $arch program (ELF class and machine: $got)"; exit 1; }

bash "$top/scripts/run-suite.sh" "$build" --output-on-failure -j"$jobs" --timeout 1800

# ---- the same bytes as the native build -------------------------------------
source "$top/scripts/lib/capture-compare.sh"
capture_reference
for f in zorv.dat objs.3dw music.xm; do
  cmp "$native/data/$f" "$build/data/$f" || { say "data/$f differs from the native build's"; exit 1; }
done
say "the data files have the native build's bytes"
say "the whole demo in qn-capture"
capture_compare "$build/capture" "$build/run-target" "$build/qn-capture"
say "done in $((SECONDS - start)) s"
