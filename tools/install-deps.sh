#!/usr/bin/env bash
# Installs every package needed to build, run, test and benchmark veltrum on Debian 12.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
packages=(
  cmake g++ make pkg-config ninja-build
  libfltk1.3-dev fluid cimg-dev libopencv-dev
  libtiff-dev libopenexr-dev libexif-dev libjpeg-dev libpng-dev zlib1g-dev
  libglew-dev libgl-dev libboost-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth libgl1-mesa-dri x11-utils
  openexr libtiff-tools
  clang libclang-rt-14-dev clang-format
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
