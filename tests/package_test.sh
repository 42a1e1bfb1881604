#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Builds the Debian packages from a build directory and checks them as a distribution would:
# lintian reports no error and no warning, AppStream reports nothing even when pedantic, the data
# is a package of its own for every architecture that the game depends on, the dependencies come
# from the programs, and the programs are stripped and hardened.
# Usage: package_test.sh BUILD_DIR. Exit 77 (skipped) where the packaging tools are missing.
set -eu
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps file objcopy readelf lintian appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "no $tool here: the packages are not checked"
        exit 77
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack could not build the packages"; }
game=$(echo "$work"/tovarine_*.deb)
data=$(echo "$work"/tovarine-data_*_all.deb)
symbols=$(echo "$work"/tovarine-dbgsym_*.ddeb)
for package in "$game" "$data" "$symbols"; do
    [ -f "$package" ] || fail "no package $package"
done
ls -l "$game" "$data" "$symbols" | awk '{ print "package:", $5, $NF }'

# Every tag is shown; errors and warnings fail (overrides, each with its reason, are in
# packaging/lintian).
lintian --pedantic --display-info --fail-on none "$game" "$data" "$symbols" >"$work/lintian.txt" 2>&1 \
    || { cat "$work/lintian.txt"; fail "lintian did not run"; }
grep -v '^running with root privileges' "$work/lintian.txt" || true
! grep -q '^[EW]:' "$work/lintian.txt" || fail "lintian reports errors or warnings"

mkdir "$work/game"
dpkg-deb --extract "$game" "$work/game"
metainfo=$work/game/usr/share/metainfo/io.tovarine.tovarine.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" >"$work/appstream.txt" 2>&1 || true
cat "$work/appstream.txt"
grep -qx '✔ Validation was successful.' "$work/appstream.txt" && [ "$(wc -l <"$work/appstream.txt")" = 1 ] \
    || fail "appstreamcli reports something"

# The relations between the packages, and the libraries found by dpkg-shlibdeps.
[ "$(dpkg-deb --field "$data" Architecture)" = all ] || fail "tovarine-data is not for every architecture"
depends=$(dpkg-deb --field "$game" Depends)
version=$(dpkg-deb --field "$game" Version)
for needed in "tovarine-data (= $version)" "libsdl2-2.0-0 (" "libsdl2-mixer-2.0-0 (" "libpng16-16 (" \
    fonts-ipafont-mincho; do
    case "$depends" in *"$needed"*) ;; *) fail "tovarine does not depend on $needed: $depends" ;; esac
done
[ "$(dpkg-deb --field "$game" Recommends)" = "xfonts-base | zenity" ] || fail "Recommends"
dpkg-deb --contents "$data" >"$work/data.txt"
dpkg-deb --contents "$game" >"$work/game.txt"
dpkg-deb --contents "$symbols" >"$work/symbols.txt"
! grep -q '^l' "$work/data.txt" || fail "links in tovarine-data"
! grep -qE 'share/games/tovarine/(png|snd)' "$work/game.txt" \
    || fail "data in the architecture-bound package"

# The programs: stripped, their symbols in tovarine-dbgsym, hardened.
for program in "$work"/game/usr/libexec/tovarine/*; do
    name=${program##*/}
    file "$program" | grep -q ', stripped' || fail "$name is not stripped"
    id=$(readelf -n "$program" | sed -n 's/.*Build ID: //p')
    grep -q "/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" "$work/symbols.txt" \
        || fail "no debug symbols for $name"
    readelf -h "$program" | grep -q 'DYN (Position-Independent' || fail "$name is not PIE"
    readelf -lW "$program" | grep -q GNU_RELRO || fail "$name has no RELRO"
    readelf -d "$program" | grep -q 'FLAGS.*NOW' || fail "$name does not bind now"
    symbols_used=$(readelf --dyn-syms -W "$program")
    grep -q '__stack_chk_fail' <<<"$symbols_used" || fail "$name has no stack protector"
    grep -q '__[a-z]*_chk' <<<"$(grep -v __stack_chk_fail <<<"$symbols_used")" \
        || fail "$name uses no fortified functions"
done
# The two packages together make a game that starts (unpacked into a scratch root, not installed).
dpkg-deb --extract "$data" "$work/game"
HOME=$work/home "$work/game/usr/games/tovarine" --headless --frames 200 --trace "$work/trace.jsonl" \
    >/dev/null || fail "the packaged game does not start"
grep -q '"GameMode":0' "$work/trace.jsonl" || fail "the packaged game does not reach the title"
echo "packages: ok"
