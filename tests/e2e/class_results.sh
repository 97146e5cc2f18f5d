#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The teacher's window on a log made by playing: four real games by three pupils on one class
# folder (Anna typed once as "anna"), then --risultati read through the accessibility bus: one
# row per pupil matching the log, sorting by the best score, a PDF of the table and the chart,
# and the class record reset after its confirmation, the log kept as it was.
# Usage: class_results.sh path/to/zanfiro   (its screenshot, PDF and the PDF's picture go beside
# the program, or to $ZANFIRO_E2E_OUT)
set -euo pipefail

zanfiro=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
out=${ZANFIRO_E2E_OUT:-$(dirname "$zanfiro")}
failure_shot=$out/e2e-class-results-failure.png
rm -f "$failure_shot" "$out/risultati.png" "$out/risultati.pdf" "$out/risultati-pdf.png"
# shellcheck source-path=SCRIPTDIR source=lib/session.sh
source "$here/lib/session.sh"

start_x
private_home
start_accessibility_bus
class=$work/classe
mkdir -p "$class"
log=$class/partite.csv

desk() { /usr/bin/python3 "$here/desk_read.py" "$@"; }
click_on() {
    local at
    at=$(desk centre "$game_pid" "$1") || fail "nothing named '$1' in the window"
    # shellcheck disable=SC2086  # "X Y"
    xdotool mousemove $at click 1
}

# One game: NAME typed, a good target tried (a shuffle may make it a decoy) unless told 0, then
# Exit (its goodbye, and the congratulation a record brings) or the close box.
play() {
    local name=$1 tries=$2 end=$3 said box
    start_game "game-$name" --cartella-record "$class"
    answer_prompt "$name"
    main=$(wait_new_window "$prompt" "$greeting") || fail "no main window for $name"
    if ((tries)); then
        xdotool windowfocus --sync "$main"
        xdotool mousemove --window "$main" 300 420 click 1
        said=$(/usr/bin/python3 "$here/atspi_targets.py" hit "$game_pid") || fail "could not play for $name"
        [[ $said != *"box: "* ]] || answer_box "$(wait_new_window "$main")"
    fi
    if [[ $end == exit ]]; then
        xdotool windowfocus --sync "$main"
        xdotool key alt+x
        box=$(wait_new_window "$main") || fail "no goodbye for $name"
        answer_box "$box"
        if box=$(tenths=30 wait_new_window "$main" "$box"); then answer_box "$box"; fi
    else
        close_box "$main"
    fi
    wait_end || fail "the game of $name did not end"
}
play Anna 1 exit
play Luca 0 exit
play anna 1 close
play Niccolò 1 exit
[[ $(grep -c $'\r$' "$log") == 5 ]] || fail "the log holds $(wc -l <"$log") lines, not a header and four games"
cp "$log" "$work/log-before"

start_game desk --cartella-record "$class" --risultati
window=$(wait_new_window) || fail "no results window"
expected=$(desk expect "$log" | sort)
shown=$(desk rows "$game_pid" | sort) || fail "the table could not be read"
[[ $shown == "$expected" ]] || fail "the table shows"$'\n'"$shown"$'\n'"instead of"$'\n'"$expected"
[[ $(wc -l <<<"$shown") == 3 ]] || fail "not one row per pupil: $shown"
grep -qx $'anna\t2\t.*' <<<"$shown" || fail "Anna's two games are not one row under the newest spelling"
import -window "$window" "$out/risultati.png"

# A click on the header sorts by the best score, numbers as numbers; a second turns it round.
click_on Migliore
ascending=$(desk rows "$game_pid" Migliore)
sort -n -c <<<"$ascending" || fail "best scores not ascending after one click: $ascending"
sleep 1 # past the double-click interval: a second click, not a double click
click_on Migliore
descending=$(desk rows "$game_pid" Migliore)
sort -n -r -c <<<"$descending" || fail "best scores not descending after two clicks: $descending"

# The PDF of the table and the first pupil's chart, through the save dialog.
click_on "Salva in PDF…"
dialog=$(wait_new_window "$window") || fail "no save dialog"
xdotool windowfocus --sync "$dialog"
xdotool key ctrl+a
xdotool type --delay 10 "$out/risultati.pdf"
xdotool key Return
for _ in $(seq 50); do [[ -s $out/risultati.pdf ]] && break; sleep 0.1; done
text=$(pdftotext -layout "$out/risultati.pdf" -) || fail "pdftotext cannot read the PDF"
for want in "Zanfiro: risultati della classe" "Migliore" "Niccolò" "Luca" "anna" "partita dopo partita"; do
    grep -qF "$want" <<<"$text" || fail "the PDF lacks '$want': $text"
done
pdftoppm -png -r 60 -singlefile "$out/risultati.pdf" "$out/risultati-pdf" || fail "pdftoppm cannot draw the PDF"

# The reset names the record it removes, empties both files and keeps the log.
holder="di $(tr -d '\r\n' <"$class/zanfiro.txt") con $(tr -d '\r\n ' <"$class/azanfiro.txt") punti"
click_on "Azzera il record…"
wait_new_window "$window" >/dev/null || fail "no confirmation"
asked=$(/usr/bin/python3 "$here/atspi_targets.py" box "$game_pid")
[[ $asked == *"$holder"* ]] || fail "the confirmation says '$asked', not '$holder'"
click_on "Sì"
for _ in $(seq 50); do [[ ! -s $class/azanfiro.txt ]] && break; sleep 0.1; done
[[ -f $class/azanfiro.txt && ! -s $class/azanfiro.txt && -f $class/zanfiro.txt && ! -s $class/zanfiro.txt ]] \
    || fail "the record is not an empty pair after the reset"
cmp -s "$log" "$work/log-before" || fail "the log changed"
echo "class results: $(wc -l <<<"$shown") pupils, sorted both ways, PDF of $(pdfinfo "$out/risultati.pdf" | sed -n 's/^Pages: *//p') page(s), record reset"
