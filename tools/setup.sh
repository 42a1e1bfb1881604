#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Installs what building Tovarine needs (Debian 12 packages), then configures and builds it in
# build/. Usage: tools/setup.sh [--package | --test]
#   (nothing)   what playing needs: the game alone, without tests, benchmarks or their libraries
#   --package   also what building the Debian packages needs (cd build && cpack)
#   --test      everything: the tests and benchmarks, and every program the test suite runs
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}

packages=(build-essential cmake pkg-config
          libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libpng-dev libfontconfig-dev
          fonts-ipafont-mincho xfonts-base
          libcairo2-dev libfluidsynth-dev fluid-soundfont-gm libmp3lame-dev)
tests=OFF
if [ "$mode" = "--package" ] || [ "$mode" = "--test" ]; then
    packages+=(dpkg-dev file)
fi
if [ "$mode" = "--test" ]; then
    tests=ON
    packages+=(googletest libgtest-dev libbenchmark-dev)
    packages+=(clang-format xvfb xauth xdotool x11-utils sox clang libclang-rt-14-dev)
    packages+=(lintian appstream reuse)
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
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVARINE_BUILD_TESTS=$tests
cmake --build build -j "$jobs"
