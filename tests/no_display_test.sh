#!/bin/bash
# Without a display the game cannot start: it says why on stderr and in Log.txt and exits non-zero.
set -u
game=$(readlink -f "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
fail() { echo "FAIL: $*"; echo "--- stderr"; cat stderr.txt; echo "--- Log.txt"; tr -d '\r' < Log.txt; exit 1; }
export XDG_RUNTIME_DIR=$dir
for answer in "" --window --fullscreen; do
    code=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 "$game" $answer 2>stderr.txt || code=$?
    [ $code = 1 ] || fail "exit code $code ($answer)"
    [ "$(grep -c "cannot start: no display" stderr.txt)" = 1 ] || fail "no single clear line ($answer)"
    grep -q "EngineInit failed: no display" Log.txt || fail "Log.txt does not say why ($answer)"
done
echo "no display: ok"
