#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Idempotent: packages already there are left alone, and apt is only asked
# when something is missing.
set -euo pipefail

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
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
