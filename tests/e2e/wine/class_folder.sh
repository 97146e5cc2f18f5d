#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The class folder under wine: named in %PROGRAMDATA%\zanfiro\zanfiro.ini with backslashes, as a
# Windows administrator writes it; a short game that beats the folder's record writes it there and
# leaves the per-user record as it was.
# Usage: class_folder.sh DIST_DIR OUT_DIR   (WINEPREFIX set and made; run after whole_game.sh)
set -euo pipefail

dist=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
# Debian puts wine64 and wineserver outside the PATH.
PATH=/usr/lib/wine:$PATH
failure_shot=$(readlink -f "$2")/wine-class-folder-failure.png
rm -f "$failure_shot"
# shellcheck source-path=SCRIPTDIR source=../lib/session.sh
source "$here/../lib/session.sh"
zanfiro=$work/zanfiro
printf '#!/bin/sh\nexec wine64 "%s" "$@"\n' "$dist/zanfiro.exe" >"$zanfiro"
chmod +x "$zanfiro"
export WINEDEBUG=-all
start_x
wineserver -k 2>/dev/null || true

drive_c=$WINEPREFIX/drive_c
records=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)/AppData/Local/zanfiro
[[ -f $records/zanfiro.txt ]] || fail "no per-user record: run whole_game.sh first"
cp "$records/zanfiro.txt" "$work/record.before"
rm -rf "$drive_c/classe"

mkdir -p "$drive_c/ProgramData/zanfiro" "$drive_c/classe/zanfiro"
printf '[record]\r\nfolder=C:\\classe\\zanfiro\r\n' >"$drive_c/ProgramData/zanfiro/zanfiro.ini"
printf -- '-100\r\n' >"$drive_c/classe/zanfiro/azanfiro.txt"
printf 'Zeno\r\n' >"$drive_c/classe/zanfiro/zanfiro.txt"
start_game wine2
answer_prompt Bea
main=$(wait_new_window "$prompt" "$greeting") || fail "no main window with the class folder"
[[ $(xwininfo -id "$main") == *$'Width: 608\n'* ]] ||
    fail "a box instead of the window: the folder C:\\classe\\zanfiro written in zanfiro.ini was not found"
leave_with_a_record
cmp -s "$drive_c/classe/zanfiro/zanfiro.txt" <(printf 'Bea\r\n') ||
    fail "the class folder C:\\classe\\zanfiro from zanfiro.ini holds no record of Bea's: $(ls -R "$drive_c/classe")"
cmp -s "$records/zanfiro.txt" "$work/record.before" || fail "the per-user record changed with a class folder set"
wineserver -k 2>/dev/null || true
echo "PASS: the class folder C:\\classe\\zanfiro read from zanfiro.ini"
