#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under a private X server, worked as a pupil would with xdotool: the name, the
# greeting, the window at its size with its backdrop, a click on the background, a click on a
# target, Exit with its goodbye, and the record written; then a second game closed with the
# close box, which ends silently and leaves the record as it was.
# Usage: startup.sh path/to/zanfiro   (screenshots go beside the program, or to $ZANFIRO_E2E_OUT)
set -euo pipefail

zanfiro=$(readlink -f "$1")
out=${ZANFIRO_E2E_OUT:-$(dirname "$zanfiro")}
here=$(dirname "$(readlink -f "$0")")
failure_shot=$out/e2e-failure.png
rm -f "$failure_shot"
greeting_shot=$out/e2e-greeting.png
# shellcheck source-path=SCRIPTDIR source=lib/session.sh
source "$here/lib/session.sh"

start_x
private_home

geometry() { xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'; }
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

# --- First game: a record older than any score, so whatever happens this game makes the new one.
mkdir -p "$records"
printf -- '-100\r\n' >"$records/azanfiro.txt"
printf 'Zeno\r\n' >"$records/zanfiro.txt"

start_game game1
answer_prompt Anna

main=$(wait_new_window) || fail "no main window"
[[ $(xdotool getwindowname "$main") == Zanfiro ]] || fail "window caption: $(xdotool getwindowname "$main")"
read -r width height < <(geometry "$main")
menu=$((height - 672))
[[ $width == 608 && $menu -ge 12 && $menu -le 48 ]] || fail "window is ${width}x${height}, expected 608x672 plus a menu bar"
sleep 0.3
import -window "$main" "$out/e2e-window.png"
# The backdrop's last band is blue 255 at the bottom edge, its first blue 0 below the menu.
[[ $(pixel "$out/e2e-window.png" 300 $((height - 1))) =~ ,255\)$ ]] || fail "no backdrop at the bottom"
[[ $(pixel "$out/e2e-window.png" 300 $((menu + 300))) != "$(pixel "$out/e2e-window.png" 300 $((height - 1)))" ]] \
    || fail "the backdrop has one colour"

xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 300 $((menu + 400)) click 1
# A point well inside a target's face: a cyan pixel with cyan 40 pixels down and right of it. A
# shuffle tick may hide every target it has just shown, so a few ticks are watched.
target=
for _ in $(seq 20); do
    sleep 0.3
    import -window "$main" "$out/e2e-play.png"
    convert "$out/e2e-play.png" -fill black +opaque '#00FFFF' txt:- >"$work/play.txt"
    target=$(awk -F'[,: ]+' '/#00FFFF/ { cyan[$1 "," $2] = 1; order[++n] = $1 "," $2 }
        END { for (i = 1; i <= n; ++i) { split(order[i], p, ","); if (cyan[(p[1] + 40) "," (p[2] + 40)]) {
            print p[1] + 20, p[2] + 20; exit } } }' "$work/play.txt")
    [[ -n $target ]] && break
done
[[ -n $target ]] || fail "no target button came up after the click on the background"

# Whatever the click meets (a good target, a decoy with its warning, or the background again
# after a shuffle) the game goes on.
read -r target_x target_y <<<"$target"
xdotool mousemove --window "$main" "$target_x" "$target_y" click 1
if warning=$(tenths=15 wait_new_window "$main"); then
    answer_box "$warning"
fi

leave_with_a_record

grep -qaE $'^ ?-?[0-9]+\r$' "$records/azanfiro.txt" || fail "score file: $(od -c "$records/azanfiro.txt")"
[[ $(wc -l <"$records/azanfiro.txt") == 1 ]] || fail "score file has more than one line"
cmp -s "$records/zanfiro.txt" <(printf 'Anna\r\n') || fail "name file: $(od -c "$records/zanfiro.txt")"

# --- Second game: the close box ends it at once, with status 0 and the record untouched.
cp "$records/azanfiro.txt" "$work/score.before"
cp "$records/zanfiro.txt" "$work/name.before"
start_game game2
answer_prompt Bea
main=$(wait_new_window) || fail "no main window in the second game"
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 300 $((menu + 400)) click 1
sleep 0.2
close_box "$main"
wait_end || fail "the close box did not end the game"
[[ $status == 0 ]] || fail "exit status $status after the close box"
cmp -s "$records/azanfiro.txt" "$work/score.before" || fail "the close box changed the score file"
cmp -s "$records/zanfiro.txt" "$work/name.before" || fail "the close box changed the name file"

echo "PASS: screenshots in $out"
