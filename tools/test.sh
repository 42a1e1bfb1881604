#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Installs what is needed, builds, and runs the whole test suite: once as built for players, and
# once more with AddressSanitizer and UndefinedBehaviorSanitizer (reusing the generated pictures
# and sounds).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh --test
jobs=$(nproc 2>/dev/null || echo 2)

echo "== Tests"
(cd build && ctest --output-on-failure -j "$jobs")

echo "== Tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOVARINE_SANITIZE=ON \
      -DTOVARINE_ASSETS_FROM="$PWD/build"
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j "$jobs" -E 'clang_format|xvfb_smoke|install_layout|packages|reuse')
