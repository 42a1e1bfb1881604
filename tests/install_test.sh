#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Installs the game into a scratch prefix and starts it through its launcher as a player would:
# save.dat and Log.txt must land in the player's own folder, never in the installed tree.
set -eu
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$root/prefix" >/dev/null
prefix=$root/prefix
data=$prefix/share/games/tovarine
[ -x "$prefix/games/tovarine" ] || fail "no launcher"
[ -x "$prefix/libexec/tovarine/tovarine" ] || fail "no game"
[ -f "$data/png/title.png" ] || fail "no pictures"
[ -f "$data/snd/BGM_title.mp3" ] || fail "no music"
[ -f "$prefix/share/applications/io.tovarine.tovarine.desktop" ] || fail "no desktop entry"
for size in 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/io.tovarine.tovarine.png
    file "$icon" | grep -q "PNG image data, $size x $size" || fail "no icon of $size pixels"
done
grep -q '^Categories=Game;ActionGame;$' "$prefix/share/applications/io.tovarine.tovarine.desktop" \
    || fail "desktop entry categories"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/io.tovarine.tovarine.metainfo.xml" \
        >/dev/null || fail "AppStream data does not validate"
fi
gzip -t "$prefix/share/man/man6/tovarine.6.gz" || fail "no manual page"
for package in tovarine tovarine-data; do
    [ -f "$prefix/share/doc/$package/copyright" ] || fail "no copyright file for $package"
done

# The data is real files, also when the build links png/ and snd/ to another build's
# (TOVARINE_ASSETS_FROM): a package must not point into someone's build tree.
[ -z "$(find "$prefix" -type l)" ] || fail "links installed: $(find "$prefix" -type l | head -3)"
[ "$(find "$data/png" -type f -name '*.png' | wc -l)" = "$(find -L "$build/png" -type f -name '*.png' | wc -l)" ] \
    || fail "not every picture was installed"
[ "$(find "$data/snd" -type f | wc -l)" = "$(find -L "$build/snd" -type f -name '*.wav' -o -type f -name '*.mp3' | wc -l)" ] \
    || fail "not every sound was installed"

# A player with a home of their own, starting from somewhere else.
export HOME=$root/home
unset XDG_DATA_HOME
mkdir -p "$HOME" && cd /
"$prefix/games/tovarine" --headless --frames 200 --trace "$root/trace.jsonl" || fail "launcher failed"
player=$HOME/.local/share/tovarine
[ -f "$player/Log.txt" ] || fail "no Log.txt in the player's folder"
[ -L "$player/png" ] && [ -L "$player/snd" ] || fail "the data is not linked"
grep -q '"GameMode":0' "$root/trace.jsonl" || fail "the title was not reached"
[ -z "$(find "$prefix" -name Log.txt -o -name save.dat)" ] || fail "files written into the prefix"

# The command line goes through the launcher; asking for help creates no folder.
HOME=$root/help "$prefix/games/tovarine" --help | grep -q -- '--fullscreen' || fail "--help"
"$prefix/games/tovarine" --version | grep -q '^tovarine [0-9]' || fail "--version"
code=0
"$prefix/games/tovarine" --bogus 2>"$root/err.txt" || code=$?
[ $code = 2 ] && grep -q "^Usage" "$root/err.txt" || fail "an unknown option gave $code"
[ ! -e "$root/help" ] || fail "--help made a folder"

# The XDG rules: a relative XDG_DATA_HOME (or one that looks like an option) is ignored for the
# default; an empty or relative HOME is refused with a message instead of guessing.
(cd "$root" && XDG_DATA_HOME=relative "$prefix/games/tovarine" --headless --frames 2) ||
    fail "relative XDG_DATA_HOME"
[ ! -e "$root/relative" ] && [ -f "$player/Log.txt" ] || fail "a relative XDG_DATA_HOME was used"
(cd "$root" && XDG_DATA_HOME=-v "$prefix/games/tovarine" --headless --frames 2) || fail "dash"
[ ! -e "$root/-v" ] || fail "an XDG_DATA_HOME like an option was used"
for home in "" relative; do
    code=0
    (cd "$root" && HOME=$home XDG_DATA_HOME= "$prefix/games/tovarine" --headless --frames 2) \
        2>"$root/err.txt" || code=$?
    [ $code = 1 ] && grep -q "HOME is empty or not an absolute path" "$root/err.txt" ||
        fail "HOME='$home' gave $code"
done
[ ! -e "$root/relative" ] && [ ! -e /.local/share/tovarine ] || fail "a bad HOME was used"
spaced="$root/a folder with spaces"
XDG_DATA_HOME=$spaced "$prefix/games/tovarine" --headless --frames 2 || fail "spaces"
[ -f "$spaced/tovarine/Log.txt" ] || fail "a path with spaces was not kept whole"

# The folder is reused, and XDG_DATA_HOME is honoured.
XDG_DATA_HOME=$root/data "$prefix/games/tovarine" --headless --frames 5 || fail "second start failed"
[ -f "$root/data/tovarine/Log.txt" ] || fail "XDG_DATA_HOME ignored"
echo "installed layout and launcher: ok"
