#!/bin/bash
# Installs what building, playing and testing Tovarine need (Debian 12 packages), then configures
# and builds the game in build/. Usage: tools/setup.sh [--test]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config
          libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libpng-dev libfontconfig-dev
          fonts-ipafont-mincho xfonts-base
          libcairo2-dev libfluidsynth-dev fluid-soundfont-gm libmp3lame-dev
          googletest libgtest-dev libbenchmark-dev)
if [ "${1:-}" = "--test" ]; then
    packages+=(clang-format xvfb xauth xdotool x11-utils sox clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
