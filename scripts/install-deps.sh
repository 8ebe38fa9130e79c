#!/usr/bin/env bash
# Installs the Debian packages a job needs. Idempotent: packages already
# there are left alone, and apt is only asked when something is missing.
#   scripts/install-deps.sh               build and run the demo, make its video
#   scripts/install-deps.sh --package     also what the Debian package's build
#                                         and its checks take (scripts/package.sh)
#   scripts/install-deps.sh --test        also the test suite's tools
#   scripts/install-deps.sh --cross ARCH  also a cross build's compiler and
#                                         emulator, and the test tools
#                                         (ARCH: i386, arm64 or s390x)
#   scripts/install-deps.sh --web [DIR]   also the browser build's compiler
#                                         and browser, and libmikmod's Debian
#                                         source in DIR (default build-web/)
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

# Building: compiler, CMake, the libraries and the font the pictures are
# drawn with. Running: xdpyinfo tells the demo command whether there is a
# display, ffmpeg makes the video where there is none.
packages=(
  g++ cmake make pkg-config
  libmikmod-dev libsdl1.2-dev libpng-dev libfreetype-dev fonts-dejavu-core
  libpulse-dev
  x11-utils ffmpeg
)
# The Debian package: its build dependencies besides the above (debian/control),
# the tools that build it from a clone, and its checks.
package_packages=(
  build-essential debhelper pkgconf dpkg-dev git
  lintian diffoscope-minimal
)
# The tests: GoogleTest and benchmarks, a private X server and sound server
# with a window manager for the full-screen checks, reading pictures and sound
# back, other players of the module, the sanitizer and fuzzer runtime,
# valgrind, the format check.
test_packages=(
  libgtest-dev libbenchmark-dev python3 perl
  xvfb xdotool imagemagick openbox libsdl2-2.0-0
  pulseaudio pulseaudio-utils sox
  tesseract-ocr tesseract-ocr-eng
  xmp openmpt123
  valgrind clang libclang-rt-dev clang-format tmux
  desktop-file-utils appstream
)

usage() {
  echo "usage: scripts/install-deps.sh [--test] [--package] [--cross i386|arm64|s390x] [--web [DIR]]" >&2
  exit 2
}
while [ $# -gt 0 ]; do
  case $1 in
    --test) packages+=("${test_packages[@]}") ;;
    --package) packages+=("${package_packages[@]}") ;;
    # A cross build runs the unit tests and builds the native reference:
    # Debian's cross compiler and qemu-user besides the test tools. The
    # target's libraries are not installed: scripts/cross-sysroot.sh unpacks
    # them into the build folder. (g++-multilib conflicts with every cross compiler.)
    --cross)
      case ${2:-} in
        i386) packages+=(g++-i686-linux-gnu) ;;
        arm64) packages+=(g++-aarch64-linux-gnu) ;;
        s390x) packages+=(g++-s390x-linux-gnu) ;;
        *) echo "install-deps.sh: --cross needs i386, arm64 or s390x" >&2; exit 2 ;;
      esac
      packages+=(qemu-user "${test_packages[@]}")
      shift
      ;;
    # The browser build: Debian's emscripten (its JS optimizer needs acorn), a
    # browser of each engine the test runs in with a sound server for them,
    # and dpkg-dev to unpack libmikmod's source package.
    --web)
      web_dir=$(cd "$(dirname "$0")/.." && pwd)/build-web
      if [ $# -gt 1 ] && [ "${2#--}" = "$2" ]; then web_dir=$2; shift; fi
      packages+=(emscripten node-acorn chromium firefox-esr pulseaudio pulseaudio-utils dpkg-dev)
      # npm installs the browser test's driver; a node from elsewhere may
      # bring its own npm, which Debian's package would conflict with.
      command -v npm >/dev/null 2>&1 || packages+=(npm)
      ;;
    *) usage ;;
  esac
  shift
done

missing=()
for p in "${packages[@]}"; do
  [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = "install ok installed" ] || missing+=("$p")
done
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ -n "${web_dir:-}" ] && bash "$(dirname "$0")/web-mikmod-source.sh" "$web_dir"
exit 0
