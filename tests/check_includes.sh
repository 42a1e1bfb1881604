#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# The floors of src/ as a test: lists every include that points up (or sideways where the floors
# forbid it) and fails if there is one. Usage: check_includes.sh [SRC_DIR] (default: src).
#
#   runner                          may include every floor
#   main                            render, the play rooms, game, data, engine.h
#   render                          the play rooms, game, data, engine.h
#   stage  enemy  story             each other, game, data, engine.h
#   game                            engine.h only
#   data                            nothing of ours
#   engine                          itself
# Of the engine, only engine/engine.h is the game's; the rest is for the engine and the runner.
src=${1:-src}
declare -A allowed=(
    [engine]="engine"
    [data]="data"
    [game]="engine game"
    [stage]="engine data game stage enemy story"
    [enemy]="engine data game stage enemy story"
    [story]="engine data game stage enemy story"
    [render]="engine data game stage enemy story render"
    [main]="engine data game stage enemy story render main"
    [runner]="engine data game stage enemy story render main runner"
)
count=0
while IFS= read -r hit; do
    file=${hit%%:*}
    header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$hit")
    floor=${file#"$src"/}
    floor=${floor%%/*}
    target=${header%%/*}
    [[ $header == */* ]] || continue # a header beside the file, or a generated one
    if [[ -z ${allowed[$floor]+set} ]]; then
        echo "$file: in no floor (add its folder to $0)"
        count=$((count + 1))
    elif [[ " ${allowed[$floor]} " != *" $target "* ]]; then
        echo "$file: $floor/ may not include $header"
        count=$((count + 1))
    elif [[ $target == engine && $floor != engine && $floor != runner && $header != engine/engine.h ]]; then
        echo "$file: only engine/engine.h is the game's, not $header"
        count=$((count + 1))
    fi
done < <(grep -rHE '^\s*#\s*include\s+"' "$src" --include='*.cpp' --include='*.h' | sort)
echo "$count include(s) against the floors"
[[ $count -eq 0 ]]
