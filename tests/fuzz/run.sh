#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Builds the fuzz targets with clang and runs each from its seed corpus for a bounded time.
# Usage: run.sh BUILD_DIR [SECONDS_EACH]. Exit 77 (skipped) without clang and libFuzzer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
seconds=${2:-20}
if ! command -v clang++ >/dev/null; then
    echo "no clang++: fuzzing skipped"
    exit 77
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer - -o "$build.probe" 2>/dev/null; then
    echo "clang++ has no libFuzzer runtime: fuzzing skipped"
    exit 77
fi
rm -f "$build.probe"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j 2 >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$here/../lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in png sound save keys settings; do
    # The kept seeds stay as they are: new findings go to a scratch corpus.
    work="$build/run-$target"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    cp "$here/corpus/$target"/* "$work/corpus/"
    if (cd "$work" && "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 corpus >log.txt 2>&1); then
        echo "fuzz_$target: $(grep -E 'stat::number_of_executed_units' "$work/log.txt" | awk '{print $2}') runs in ${seconds} s, no finding"
    else
        echo "fuzz_$target FAILED:"
        grep -v -E '^(#[0-9]+|INFO:)|: unknown key|expected a frame number' "$work/log.txt" | tail -60
        status=1
    fi
done
exit $status
