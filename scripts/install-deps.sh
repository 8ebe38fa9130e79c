#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Idempotent: packages already there are left alone, and apt is only asked
# when something is missing.
#   scripts/install-deps.sh          the native build
#   scripts/install-deps.sh --cross ARCH   also what a cross build needs
#                                   (ARCH: i386, arm64 or s390x)
#   scripts/install-deps.sh --web [DIR]    also what the browser build needs,
#                                   and libmikmod's Debian source in DIR
#                                   (default build-web/)
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
  valgrind clang libclang-rt-dev clang-format tmux
  python3 perl
)

# A cross build: Debian's cross compiler and qemu-user. The target's
# libraries are not installed: scripts/cross-sysroot.sh unpacks them into the
# build folder. (g++-multilib conflicts with every cross compiler.)
if [ "${1:-}" = "--cross" ]; then
  case ${2:-} in
    i386) packages+=(g++-i686-linux-gnu) ;;
    arm64) packages+=(g++-aarch64-linux-gnu) ;;
    s390x) packages+=(g++-s390x-linux-gnu) ;;
    *) echo "install-deps.sh: --cross needs i386, arm64 or s390x" >&2; exit 2 ;;
  esac
  packages+=(qemu-user)
fi
# The browser build: Debian's emscripten (its JS optimizer needs acorn), a
# browser for the tests, and dpkg-dev to unpack libmikmod's source package.
if [ "${1:-}" = "--web" ]; then
  web_dir=${2:-$(cd "$(dirname "$0")/.." && pwd)/build-web}
  packages+=(emscripten node-acorn chromium dpkg-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ -n "${web_dir:-}" ] && bash "$(dirname "$0")/web-mikmod-source.sh" "$web_dir"
exit 0
