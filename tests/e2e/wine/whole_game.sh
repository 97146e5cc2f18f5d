#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program under wine on a private X server, played as a pupil plays it: the name, the
# greeting, a good target hit and a decoy hit with its warning, Exit with a new record; then the
# record files' bytes in %LOCALAPPDATA%\zanfiro and the game's line in the log beside them.
# Usage: whole_game.sh DIST_DIR OUT_DIR   (DIST_DIR: zanfiro.exe with everything deployed beside it;
# WINEPREFIX set and made. The window at its size goes to OUT_DIR/wine-window.png. What the game
# plays is for scripts/sound_proof.sh around this script to hear.)
set -euo pipefail

dist=$(readlink -f "$1")
out=$(readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")
# Debian puts wine64 and wineserver outside the PATH.
PATH=/usr/lib/wine:$PATH
wine=wine64
failure_shot=$out/wine-game-failure.png
rm -f "$failure_shot"
# shellcheck source-path=SCRIPTDIR source=../lib/session.sh
source "$here/../lib/session.sh"

# The game as the shell sees it: a program that is wine running zanfiro.exe in the same process.
zanfiro=$work/zanfiro
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$wine" "$dist/zanfiro.exe" >"$zanfiro"
chmod +x "$zanfiro"
export WINEDEBUG=-all
start_x
# Every wine process of the prefix (its desktop included) on this server.
wineserver -k 2>/dev/null || true

drive_c=$WINEPREFIX/drive_c
user_dir=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
records=$user_dir/AppData/Local/zanfiro
rm -rf "$records" "$drive_c/ProgramData/zanfiro"

pixel_hunt() {
    # A point well inside a target's face: a cyan pixel with cyan 40 pixels down and right of it.
    import -window "$main" "$work/play.png"
    convert "$work/play.png" -fill black +opaque '#00FFFF' txt:- |
        awk -F'[,: ]+' '/#00FFFF/ { cyan[$1 "," $2] = 1; order[++n] = $1 "," $2 }
        END { for (i = 1; i <= n; ++i) { split(order[i], p, ","); if (cyan[(p[1] + 40) "," (p[2] + 40)]) {
            print p[1] + 20, p[2] + 20; exit } } }'
}

# --- A record older than any score, so that this game makes the new one.
mkdir -p "$records"
printf -- '-100\r\n' >"$records/azanfiro.txt"
printf 'Zeno\r\n' >"$records/zanfiro.txt"
start_game wine1
answer_prompt Anna
main=$(wait_new_window "$prompt" "$greeting") || fail "no main window"
sleep 0.5
import -window "$main" "$out/wine-window.png"
echo "window under wine: $(identify -format '%wx%h' "$out/wine-window.png")"

# Answers a box with Return; false when it went first (wine shows some windows of its own for a
# moment).
answer_if_there() {
    xdotool windowfocus --sync "$1" 2>/dev/null || return 1
    xdotool key Return
}

# Clicks on targets until a decoy's warning has come and three clicks went without one: a
# shuffle tick may move a target away between the look and the click, so the log says at the
# end what was hit.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 300 420 click 1
warnings=0 quiet=0
for _ in $(seq 60); do
    ((warnings >= 1 && quiet >= 3)) && break
    sleep 0.3
    target=$(pixel_hunt)
    [[ -n $target ]] || continue
    read -r x y <<<"$target"
    xdotool mousemove --window "$main" "$x" "$y" click 1
    if box=$(tenths=20 wait_new_window "$main"); then
        if answer_if_there "$box"; then warnings=$((warnings + 1)); fi
    else
        quiet=$((quiet + 1))
    fi
done
# A warning slower than the wait above is answered before leaving.
while box=$(tenths=10 wait_new_window "$main"); do answer_if_there "$box" || true; done
leave_with_a_record

if ! grep -qaxE $' ?-?[0-9]+\r' "$records/azanfiro.txt" || [[ $(wc -l <"$records/azanfiro.txt") != 1 ]]; then
    fail "score file: $(od -An -tx1 "$records/azanfiro.txt")"
fi
score=$(tr -d ' \r\n' <"$records/azanfiro.txt")
cmp -s "$records/zanfiro.txt" <(printf 'Anna\r\n') || fail "name file: $(od -An -tx1 "$records/zanfiro.txt")"
line=$(tail -n1 "$records/partite.csv")
IFS=';' read -r _ _ name logged hits decoys how record _ <<<"${line%$'\r'}"
[[ $line == *$'\r' && $name == Anna && $how == uscita && ${record%$'\r'} == sì ]] || fail "the log's last line: $line"
((hits >= 1 && decoys >= 1)) || fail "the log counts $hits hits and $decoys decoys"
((logged == score && score == hits - 4 * decoys)) || fail "score $score, log $logged, hits $hits, decoys $decoys"
echo "game under wine: $hits hits, $decoys decoys, record $score written to $records"

wineserver -k 2>/dev/null || true
echo "PASS: a whole game under wine, its record and its log"
