#!/usr/bin/env bash
# The 32-bit x86 build in build-i386: g++ -m32 against Debian's i386
# multiarch packages (cmake/i386.cmake), every library, tool, data file and
# test, then the whole test suite. qn and qn-vga are left out because the
# i386 SDL -dev package cannot be installed beside the native one, and the
# benchmarks because timings are the native build's business.
#   scripts/test-i386.sh      (QN_I386_BUILD_DIR to move the build;
#                             QN_NATIVE_DATA=build/data to check that the
#                             data files have the native build's bytes)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QN_I386_BUILD_DIR:-$top/build-i386}
jobs=$(nproc)
start=$SECONDS
bash "$top/scripts/install-deps.sh" --i386

echo "i386: building $build"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/i386.cmake" \
  -DQN_DISPLAY_PROGRAMS=OFF -DQN_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs"

# A configured build that silently came out 64-bit would pass for nothing.
elf_class=$(od -An -tx1 -j4 -N1 "$build/qn-capture" | tr -d ' ')
elf_machine=$(od -An -tx1 -j18 -N2 "$build/qn-capture" | tr -d ' ')
[ "$elf_class $elf_machine" = "01 0300" ] || {
  echo "i386: $build/qn-capture is not a 32-bit x86 program (ELF class $elf_class, machine $elf_machine)"
  exit 1
}

# The data tools are deterministic across the two: the same bytes.
if [ -n "${QN_NATIVE_DATA:-}" ]; then
  for f in zorv.dat objs.3dw music.xm; do
    cmp -s "$QN_NATIVE_DATA/$f" "$build/data/$f" || {
      echo "i386: data/$f differs from $QN_NATIVE_DATA/$f"
      exit 1
    }
  done
  echo "i386: the data files have the native build's bytes"
fi

cd "$build"
ctest --output-on-failure -j"$jobs" --timeout 900
echo "i386: done in $((SECONDS - start)) s"
