#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under wine, as a school's administrator runs it unattended: a silent
# install, the Start-menu entries (the game, and the class's results for the teacher), the
# installed game started once up to its name prompt, then the silent uninstall, which takes the
# program away and leaves the pupils' records where they are.
# Usage: installer.sh zanfiro-<version>-windows-x64.exe OUT_DIR   (WINEPREFIX set and made)
set -euo pipefail

installer=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
# Debian puts wine64 and wineserver outside the PATH.
PATH=/usr/lib/wine:$PATH
wine=wine64
failure_shot=$(readlink -f "$2")/wine-installer-failure.png
rm -f "$failure_shot"
# shellcheck source-path=SCRIPTDIR source=../lib/session.sh
source "$here/../lib/session.sh"
export WINEDEBUG=-all
start_x
wineserver -k 2>/dev/null || true

drive_c=$WINEPREFIX/drive_c
folder=$drive_c/Program\ Files/Zanfiro
records=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)/AppData/Local/zanfiro
[[ -f $records/zanfiro.txt ]] || fail "no record to keep: run the game first"
cp "$records/zanfiro.txt" "$work/record.before"

# Waits up to 60 s for a condition given as a command.
within_a_minute() { for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done; return 1; }

"$wine" "$installer" /S
within_a_minute test -f "$folder/Uninstall.exe" || fail "nothing installed in $folder"
for file in zanfiro.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll suoni licences/qt/LGPL-3.0-only.txt LICENSE.txt; do
    [[ -e $folder/$file ]] || fail "the installer left out $file"
done
[[ ! -e $folder/platforms/qoffscreen.dll && ! -e $folder/zanfiro_view_tests.exe ]] || fail "the installer carries the tests"

# The entries, for all users or for this one, read as the shell would: target and arguments.
menu=$(find "$drive_c" -path '*Start Menu/Programs/Zanfiro' -type d | head -n1)
[[ -n $menu ]] || fail "no Start-menu folder Zanfiro"
link_says() { strings -a -el "$menu/$1.lnk"; strings -a "$menu/$1.lnk"; }
[[ $(link_says Zanfiro) == *'\Zanfiro\zanfiro.exe'* ]] || fail "the entry Zanfiro does not start zanfiro.exe"
results=$(link_says 'Zanfiro - risultati della classe')
[[ $results == *'\Zanfiro\zanfiro.exe'* && $results == *$'\n--risultati\n'* ]] ||
    fail "the teacher's entry does not start zanfiro.exe --risultati: $results"
echo "Start menu: $(find "$menu" -name '*.lnk' -printf '%f,' | sed 's/,$//')"

# The installed game starts as from the Start menu, up to the name prompt.
zanfiro=$work/zanfiro
printf '#!/bin/sh\ncd "%s" && exec "%s" zanfiro.exe\n' "$folder" "$wine" >"$zanfiro"
chmod +x "$zanfiro"
start_game installed
wait_new_window >/dev/null || fail "the installed game shows no name prompt: $(cat "$work/installed.log")"
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=
wineserver -k 2>/dev/null || true

"$wine" "$folder/Uninstall.exe" /S
within_a_minute test ! -e "$folder/zanfiro.exe" || fail "the uninstaller left zanfiro.exe"
within_a_minute test ! -e "$menu/Zanfiro.lnk" || fail "the uninstaller left the Start-menu entry"
cmp -s "$records/zanfiro.txt" "$work/record.before" || fail "the uninstaller took the record"
wineserver -k 2>/dev/null || true
echo "PASS: installed silently, started from its folder, uninstalled with the records kept"
