#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing the launcher need.
# Runs as root (or through sudo); does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake g++ make pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libsdl2-dev libx11-dev
  clang clang-14 libclang-rt-14-dev llvm-14
  xvfb xauth xdotool x11-utils imagemagick fonts-liberation sox hyperfine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
