#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# CPU of the real game under a virtual X server, over ten seconds, in percent of one core: at the
# still title, or with "story" in the prologue, where every frame changes (the walking scene).
# Usage: bench/measure_cpu.sh BUILD_DIR [SECONDS] [title|story]; set SDL_RENDER_DRIVER=software to
# leave the X server's software GL out.
set -u
build=$(cd "$1" && pwd)
seconds=${2:-10}
scene=${3:-title}
if [ -z "${INSIDE_XVFB:-}" ]; then
    INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
dir=$(mktemp -d)
trap 'kill $game 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir" || exit 1
ln -s "$build/png" png
ln -s "$build/snd" snd
export XDG_RUNTIME_DIR=$dir/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$build/tovarine" &
game=$!
# The start-up question: click its middle button, "No" (a window, not full screen). The box may
# still be moving when first seen, or slow to close: its place is read again before every try.
box_place() {
    xwininfo -root -children 2>/dev/null | awk '$2 == "\"Tovarine\":" { for (i = 3; i <= NF; i++)
        if ($i ~ /^[0-9]+x[0-9]+[+-]/) { split($i, s, /[x+]/); if (s[1] != 640) print s[1], s[2], s[3], s[4] } }'
}
for _ in $(seq 300); do
    [ -n "$(box_place)" ] && break
    sleep 0.1
done
for _ in 1 2 3 4 5; do
    sleep 0.5
    box=$(box_place)
    [ -z "$box" ] && break
    read -r w h x y <<< "$box"
    xdotool mousemove $((x + w / 2)) $((y + h - 32)) click 1
    sleep 1
done
kill -0 "$game" 2>/dev/null && [ -z "$(box_place)" ] || { echo "the game did not start"; exit 1; }
sleep 6 # the logo and the loading
if [ "$scene" = story ]; then
    # "開始" is the lit item: Z starts the prologue.
    xdotool keydown z; sleep 0.2; xdotool keyup z
    sleep 2
fi
ticks() { awk '{ print $14 + $15 }' "/proc/$game/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
# SHOT=file.png keeps a picture of the screen, to see what was measured.
[ -n "${SHOT:-}" ] && xwd -root -silent | convert xwd:- "$SHOT"
hz=$(getconf CLK_TCK)
echo "CPU over ${seconds}s: $(( (after - before) * 100 / (hz * seconds) ))% of one core" \
     "at the $scene (renderer: ${SDL_RENDER_DRIVER:-default})"
grep -i "render\|driver" Log.txt 2>/dev/null | head -3
