#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built game into a scratch prefix and checks what a desktop would find there: the
# program on the PATH finding its sounds, the menu entry, its icons and the AppStream description,
# all consistent with each other and accepted by the freedesktop validators.
# Usage: install_check.sh <build dir>/zanfiro
set -u
program=$1
build=$(cd "$(dirname "$program")" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
icons=$(sed -n 's/^ZANFIRO_ICON_DIR:PATH=//p' "$build/CMakeCache.txt")
id=it.zanfiro.Zanfiro
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
passes=0
check() {
    what=$1
    shift
    if "$@" >"$prefix.log" 2>&1; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        echo "FAIL: $what"
        sed 's/^/    /' "$prefix.log"
    fi
    rm -f "$prefix.log"
}

if ! cmake --install "$build" --prefix "$prefix" >/dev/null; then
    echo "FAIL: cmake --install"
    echo "0 passed, 1 failed"
    exit 1
fi
share=$prefix/share

# The link on the PATH must land on the real program, whose folder holds every sound we ship.
launcher_target() { [ "$(readlink -f "$prefix/bin/zanfiro")" = "$prefix/lib/zanfiro/zanfiro" ]; }
check "bin/zanfiro leads to lib/zanfiro/zanfiro" launcher_target
sounds_beside_program() {
    ls "$source_dir"/sound/suoni/*.wav >/dev/null || return 1
    for wave in "$source_dir"/sound/suoni/*.wav; do
        cmp "$wave" "$prefix/lib/zanfiro/suoni/$(basename "$wave")" || return 1
    done
}
check "every sound is in suoni beside the program" sounds_beside_program
# A run path into the build tree would make the installed game load stale or missing libraries.
no_build_runpath() { ! readelf -d "$prefix/lib/zanfiro/zanfiro" | grep -E 'R(UN)?PATH'; }
check "the installed program has no run path" no_build_runpath

desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
check "desktop-file-validate accepts the menu entry" desktop-file-validate "$desktop"
check "appstreamcli accepts the metainfo" appstreamcli validate --no-net "$metainfo"
check "the menu entry is in Education and Game" grep -Eq '^Categories=(.*;)?Education;(.*;)?Game;' "$desktop"
check "the menu entry has an Italian comment" grep -q '^Comment=.*multipli di 5' "$desktop"
check "the menu entry starts the program on the PATH" grep -qx 'Exec=zanfiro' "$desktop"
check "its second action starts the game full screen" grep -qx "Exec=zanfiro --schermo-intero" "$desktop"
check "another action opens the class's results" grep -qx "Exec=zanfiro --risultati" "$desktop"
check "the menu entry names the icon we install" grep -qx "Icon=$id" "$desktop"
check "the manual page is installed, compressed" gzip -t "$share/man/man6/zanfiro.6.gz"
check "the metainfo launches the menu entry" grep -q "<launchable type=\"desktop-id\">$id.desktop<" "$metainfo"

# Each picture the artwork comes in lands under its own size, and is the size its name says.
icon_sizes() {
    ls "$icons"/zanfiro-16.png "$icons"/zanfiro-256.png "$icons"/zanfiro.svg >/dev/null || return 1
    for png in "$icons"/zanfiro-*.png; do
        px=${png##*-}
        px=${px%.png}
        installed=$share/icons/hicolor/${px}x${px}/apps/$id.png
        cmp "$png" "$installed" || return 1
        [ "$(identify -format '%wx%h' "$installed")" = "${px}x${px}" ] || { echo "$installed is not ${px}x${px}"; return 1; }
    done
    cmp "$icons/zanfiro.svg" "$share/icons/hicolor/scalable/apps/$id.svg"
}
check "hicolor icons from 16 to 256 px plus scalable" icon_sizes

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
