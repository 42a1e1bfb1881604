#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# The real game in a virtual X server: the start-up question in the desktop's box, and in the
# game's own window where the desktop has no box (no zenity, no core X fonts); a window that runs
# at 60 frames per second; a second copy that gives way; F1, Escape. Exit 77 (skipped) without
# xvfb-run, xdotool or xwininfo.
set -u
game=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
for tool in xvfb-run Xvfb xdotool xwininfo xlsfonts; do
    if ! command -v $tool >/dev/null; then
        echo "$tool is missing: skipped"
        exit 77
    fi
done
if [ -z "${INSIDE_XVFB:-}" ]; then
    started=$(date +%s)
    # These servers stay as they are when their last client leaves (-noreset), as a desktop's
    # server always has a client: here the games and xdotool come and go one after the other, and
    # a game starting while the server resets would find no display.
    # An X server with core fonts, as a desktop with xfonts-base has: the desktop's own box.
    INSIDE_XVFB=box xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@" || exit 1
    # One with no font but the built-in "fixed", and no zenity: the question in the window.
    INSIDE_XVFB=window xvfb-run -a -s "-screen 0 1024x768x24 -noreset -fp built-ins" "$0" "$@" ||
        exit 1
    # The display goes away under a running game: it ends at once with exit code 1 and says why,
    # no abort, no core. The game is this server's first and only client.
    lost=$(mktemp -d)
    (
        cd "$lost" || exit 1
        mkdir -m 700 run
        number=$((200 + $$ % 500))
        Xvfb ":$number" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 & server=$!
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
        DISPLAY=":$number" XDG_RUNTIME_DIR=$lost/run "$game" --window 2>stderr.txt & pid=$!
        for _ in $(seq 100); do grep -q "EngineInit done" Log.txt 2>/dev/null && break; sleep 0.1; done
        sleep 1
        kill $server
        code=0
        for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
        kill -0 $pid 2>/dev/null && { kill -9 $pid; echo "FAIL: the game outlived its display"; exit 1; }
        wait $pid || code=$?
        grep -q "connection to the display was lost" stderr.txt Log.txt ||
            { echo "FAIL: no reason given for the lost display"; cat stderr.txt; exit 1; }
        [ $code = 1 ] || { echo "FAIL: a lost display ended the game with $code"; cat stderr.txt; exit 1; }
        echo "lost display: ok"
    ) || { rm -rf "$lost"; exit 1; }
    rm -rf "$lost"
    echo "smoke test: $(($(date +%s) - started)) s"
    exit 0
fi

dir=$(mktemp -d)
trap 'kill $first $second 2>/dev/null; rm -rf "$dir"' EXIT
first=""
second=""
cd "$dir" || exit 1
# A lock folder of this run's own: another copy of the game elsewhere on this machine (another test
# run, a player) must not count as the "first copy".
export XDG_RUNTIME_DIR=$dir/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
fail() { echo "FAIL ($INSIDE_XVFB): $*"; echo "--- Log.txt"; tr -d '\r' < Log.txt 2>/dev/null; exit 1; }

# Waits (up to ${3:-100} tenths of a second) for a top-level window with this title and this width
# (or, with "!", any other width); prints "id width height x y". The message box has no class, so
# xdotool cannot find it by name.
window() {
    for _ in $(seq "${3:-100}"); do
        found=$(xwininfo -root -children 2>/dev/null | awk -v name="\"$1\":" -v width="$2" '
            $2 == name { for (i = 3; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+[+-]/) split($i, s, /[x+]/);
                         if (width == s[1] || (width ~ /^!/ && "!" s[1] != width)) { print $1, s[1], s[2], s[3], s[4]; exit } }')
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}
key() {
    xdotool windowfocus "$1" 2>/dev/null
    sleep 0.2
    xdotool keydown "$2"; sleep 0.2; xdotool keyup "$2"
}
# Waits up to ten seconds for a process to end; fails if it does not.
ends() {
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }; sleep 0.1; done
    fail "$2"
}
# Waits up to five seconds for a line in Log.txt.
logged() {
    for _ in $(seq 50); do grep -q "$1" Log.txt 2>/dev/null && return 0; sleep 0.1; done
    return 1
}

if [ "$INSIDE_XVFB" = window ]; then
    xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-*-*' 2>/dev/null | grep -q . &&
        fail "this X server has core fonts"
    # No zenity either: the game's PATH holds nothing at all.
    mkdir empty
    PATH=$dir/empty "$game" 2>stderr.txt & first=$!
    found=$(window Tovarine 640 300) || fail "no game window"
    read -r main w h _ <<< "$found"
    logged "asked in the window" || fail "the question was not asked in the window"
    # The first answer is "Yes"; one step right is "No": a window of 640 x 480.
    sleep 1
    key "$main" Right
    key "$main" Return
    logged "EngineInit done" || fail "no start"
    sleep 2
    logged "ChangeWindowMode" && fail "'No' switched to full screen"
    found=$(window Tovarine 640 10) || fail "the window is gone or resized"
    kill -0 $first 2>/dev/null || fail "the game ended after the question"
    key "$main" Escape
    ends $first "Escape did not end the game"; code=$?; first=""
    [ $code = 0 ] || fail "the game ended with $code"

    # Escape in the question is Cancel: the game ends without starting.
    rm -f Log.txt
    PATH=$dir/empty "$game" 2>stderr.txt & first=$!
    found=$(window Tovarine 640 300) || fail "no game window"
    read -r main _ <<< "$found"
    logged "asked in the window" || fail "the question was not asked in the window"
    sleep 1
    key "$main" Escape
    ends $first "Escape in the question did not end the game"; code=$?; first=""
    [ $code = 0 ] || fail "Cancel ended the game with $code"
    echo "question in the window: ok"
    exit 0
fi

# The desktop's own box, answered "No" (the middle button) by clicking it. The box may still be
# moving to the centre when it is first seen, so its place is read again before every try; on a
# busy machine it may take a while to close after the click, so a box that is gone counts as
# answered.
xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-*-*' 2>/dev/null | grep -q . ||
    fail "this X server has no core fonts for the box (install xfonts-base: tools/setup.sh --test)"
answer_no() {
    local box w h x y found
    window Tovarine '!640' 300 >/dev/null || fail "no start-up question"
    for _ in 1 2 3 4 5; do
        sleep 0.5
        found=$(window Tovarine '!640' 1) || return 0
        read -r box w h x y <<< "$found"
        xdotool mousemove $((x + w / 2)) $((y + h - 32)) click 1
        for _ in $(seq 50); do
            xwininfo -id "$box" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
    done
    fail "the start-up question did not take the click"
}

"$game" 2>stderr.txt & first=$!
answer_no
sleep 1
found=$(window Tovarine 640) || fail "no game window"
read -r main w h _ <<< "$found"
[ "$h" = 480 ] || fail "window is ${w}x$h"
grep -q "二重起動はされていませんでした" Log.txt || fail "first copy did not log its start"
grep -q "asked in the window" Log.txt && fail "the box was not used"

# A second copy in the same folder gives way at once, before any question, with exit code 0, and
# leaves the first copy's Log.txt alone.
cp Log.txt first-log.txt
"$game" 2>second.txt & second=$!
ends $second "the second copy is still running (did it ask?)"; code=$?; second=""
[ $code = 0 ] || fail "the second copy ended with $code"
grep -q "already running" second.txt || fail "the second copy said nothing on stderr"
cmp -s first-log.txt <(head -c "$(stat -c %s first-log.txt)" Log.txt) ||
    fail "the second copy touched the first copy's Log.txt"
grep -q "二重起動されています" Log.txt && fail "the second copy wrote into the first copy's Log.txt"
kill -0 $first 2>/dev/null || fail "the first copy ended too"

sleep 2
key "$main" F1
sleep 1
kill -0 $first 2>/dev/null || fail "F1 ended the game"
key "$main" Escape
ends $first "Escape did not end the game"; code=$?; first=""
[ $code = 0 ] || fail "the game ended with $code"

# The game steps 60 times a second whether or not the display paces the presents.
for pacing in "SDL_RENDER_VSYNC=1" "SDL_RENDER_VSYNC=0" "SDL_RENDER_DRIVER=software"; do
    mkdir -p "$dir/$pacing" && cd "$dir/$pacing" || exit 1
    env "$pacing" "$game" --window & first=$!
    found=$(window Tovarine 640) || fail "no game window"
    read -r main _ <<< "$found"
    sleep 5
    key "$main" Escape
    ends $first "Escape did not end the game"; first=""
    rate=$(grep -o '[0-9.]* frames per second' Log.txt | cut -d' ' -f1)
    echo "$pacing: $rate frames per second"
    awk -v r="$rate" 'BEGIN { exit !(r >= 59 && r <= 61) }' || fail "$pacing: $rate frames per second"
done
exit 0
