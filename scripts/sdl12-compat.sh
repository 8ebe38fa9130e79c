#!/usr/bin/env bash
# Unpacks Debian's libsdl1.2-compat (SDL 1.2 as a layer over SDL 2, what
# current distributions ship as SDL 1.2) into a folder, without installing it:
# installed, it would replace the classic library the build links. Prints the
# folder holding its libSDL-1.2.so.0, for LD_LIBRARY_PATH. Idempotent: a
# folder that has the library already is used as it is.
#   scripts/sdl12-compat.sh DIR
set -euo pipefail
dir=${1:?usage: sdl12-compat.sh DIR}

find_lib() { find "$dir" -name libSDL-1.2.so.0 -printf '%h\n' -quit 2>/dev/null || true; }

lib=$(find_lib)
if [ -z "$lib" ]; then
  mkdir -p "$dir"
  fetch=$(mktemp -d)
  trap 'rm -rf "$fetch"' EXIT
  if ! (cd "$fetch" && apt-get download libsdl1.2-compat) >"$fetch/log" 2>&1; then
    cat "$fetch/log" >&2
    echo "sdl12-compat.sh: cannot download libsdl1.2-compat (apt-get update may help)" >&2
    exit 1
  fi
  dpkg -x "$fetch"/libsdl1.2-compat_*.deb "$dir"
  lib=$(find_lib)
  [ -n "$lib" ] || { echo "sdl12-compat.sh: the package holds no libSDL-1.2.so.0" >&2; exit 1; }
fi
# It loads SDL 2 at run time.
if ! grep -q 'libSDL2-2\.0\.so\.0' <<<"$(ldconfig -p)"; then
  echo "sdl12-compat.sh: SDL 2's runtime library (libsdl2-2.0-0) is not installed" >&2
  exit 1
fi
echo "$lib"
