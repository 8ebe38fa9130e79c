#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Idempotent: packages already there are left alone, and apt is only asked
# when something is missing.
#   scripts/install-deps.sh          the native build
#   scripts/install-deps.sh --i386   also the 32-bit x86 build (cmake/i386.cmake)
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

packages=(
  g++ cmake make pkg-config
  libmikmod-dev libsdl1.2-dev
  libgtest-dev libbenchmark-dev
  libfreetype-dev fonts-dejavu-core
  xvfb xdotool imagemagick x11-utils
  pulseaudio pulseaudio-utils sox
  tesseract-ocr tesseract-ocr-eng
  xmp openmpt123 ffmpeg
  valgrind clang libclang-rt-dev tmux
  python3 perl
)

# The i386 -dev packages install beside the native ones (Multi-Arch: same),
# all but libsdl1.2-dev, whose i386 package would remove the native one: the
# i386 build leaves out the two display programs. GoogleTest's -dev package
# carries built libraries; the benchmarks are not built for i386.
i386_packages=(
  g++-multilib
  libmikmod-dev:i386 libfreetype-dev:i386 libgtest-dev:i386
)
if [ "${1:-}" = "--i386" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  packages+=("${i386_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
