#!/usr/bin/env bash
# The tables and a whole demo with glibc's libm variants for processors
# without FMA and AVX2 (as an older x86-64 has them): glibc picks sin, cos
# and atan2 by the processor, and the variants may differ in the last bit.
# The table digests must pass and qn-capture must give the native build's
# bytes (frames.csv, PNG frames, WAV). Should they ever differ, the tables
# must stop depending on the variant; this check stays as it is.
#   scripts/test-nofma.sh        (QN_BUILD_DIR: the native build, made if missing)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
native=${QN_BUILD_DIR:-$top/build}
tunables=glibc.cpu.hwcaps=-AVX2,-FMA,-FMA4
say() { echo "nofma: $*"; }
source "$top/scripts/lib/capture-compare.sh"

# The features glibc uses, as its loader reports them: with the setting,
# FMA (bit 12 of CPUID leaf 1's ECX) must be off.
loader=$(find /lib64 /lib/x86_64-linux-gnu -maxdepth 1 -name 'ld-linux-x86-64.so.2' -print -quit 2>/dev/null || true)
fma_bit() {  # fma_bit [env NAME=VALUE]
  local word
  word=$("$@" "$loader" --list-diagnostics | sed -n 's/^x86\.cpu_features\.features\[0x0\]\.active\[0x2\]=//p')
  echo $(((word >> 12) & 1))
}
if [ -z "$loader" ] || ! "$loader" --list-diagnostics >/dev/null 2>&1; then
  say "no x86-64 loader with --list-diagnostics here: an x86-64 glibc of 2.33 or later is needed"
  exit 1
fi
with=$(fma_bit env GLIBC_TUNABLES=$tunables)
without=$(fma_bit)
[ "$with" = 0 ] || { say "GLIBC_TUNABLES=$tunables left FMA on"; exit 1; }
if [ "$without" = 1 ]; then
  say "this processor has FMA: the setting selects the other variants"
else
  say "this processor has no FMA: its variants are the non-FMA ones already"
fi

say "building $native"
cmake -S "$top" -B "$native" >/dev/null
cmake --build "$native" -j"$(nproc)" --target qn-capture qn_data_files qn_test_tables qn_test_effects
say "the table tests and digests"
GLIBC_TUNABLES=$tunables ctest --test-dir "$native" -R '^(Tables|Golden)\.' --output-on-failure
say "the whole demo in qn-capture"
capture_compare "$native/capture-nofma" env GLIBC_TUNABLES=$tunables "$native/qn-capture"
