#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A whole game of the table of 3 for two minutes, as a teacher sets it up: the machine's settings
# file chooses 3 (and seven minutes), the launch's --minuti 2 wins. A bad value in the file or on
# the command line is a box naming it and status 1, before any name prompt. The game itself: the
# Help menu's texts, a hit and a miss with its warning, the clock that ends the game after two
# minutes, the record files of the table of 3 (those of 5 untouched, even a commit half way
# through) and the log line.
# Usage: chosen_table.sh path/to/zanfiro
set -euo pipefail

zanfiro=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
out=${ZANFIRO_E2E_OUT:-$(dirname "$zanfiro")}
failure_shot=$out/e2e-chosen-table-failure.png
rm -f "$failure_shot"
# shellcheck source-path=SCRIPTDIR source=lib/session.sh
source "$here/lib/session.sh"

start_x
private_home
start_accessibility_bus
export XDG_CONFIG_DIRS=$work/config ZANFIRO_E2E_DIVISOR=3
mkdir -p "$XDG_CONFIG_DIRS/zanfiro"
settings() { printf '[gioco]\r\ndivisore=%s\r\nminuti=%s\r\n' "$1" "$2" >"$XDG_CONFIG_DIRS/zanfiro/zanfiro.ini"; }

see() { /usr/bin/python3 "$here/atspi_targets.py" "$1" "$game_pid" "${@:2}"; }
fact() { sed -n "s/^$1: //p" <<<"$2"; }

# --- Bad values: the box names the setting, no name prompt follows, status 1.
refused() {
    local box text
    start_game "refused-$1" "${@:3}"
    box=$(wait_new_window) || fail "no box for $1"
    text=$(fact box "$(see box)")
    [[ $text == *"$2"* ]] || fail "the box for $1 reads '$text'"
    answer_box "$box"
    wait_end || fail "the game went on after the box for $1"
    [[ $status == 1 ]] || fail "exit status $status after the box for $1"
}
settings 7 2
refused "divisore=7" "gioco/divisore = \"7\""
settings 3 7
refused "--minuti 11" "--minuti \"11\"" --minuti 11
[[ ! -e $records ]] || fail "a refused launch touched the records"

# --- The usual pair holds a record of the table of 5; the table of 3 has its own, -10 by Ugo.
mkdir -p "$records"
printf ' 50\r\n' >"$records/azanfiro.txt"
printf 'Bea\r\n' >"$records/zanfiro.txt"
printf -- '-10\r\n' >"$records/azanfiro-div3-2min.txt"
printf 'Ugo\r\n' >"$records/zanfiro-div3-2min.txt"
# ...and a commit of the table of 5 half way through, which only a game of 5 may finish.
printf ' 60\r\n' >"$records/azanfiro.txt.new.a" && printf 'Eva\r\n' >"$records/zanfiro.txt.new.b"
printf 'azanfiro.txt.new.a\r\nzanfiro.txt.new.b\r\n' >"$records/zanfiro.commit"
(cd "$records" && sha256sum azanfiro.txt* zanfiro.txt* zanfiro.commit) >"$work/usual.sha256"

start_game game --minuti 2
answer_prompt Anna
began=$(date +%s.%N)
main=$(wait_new_window "$prompt" "$greeting") || fail "no main window"

heard=$(see labels) || fail "the window could not be read"
[[ $(fact "record score" "$heard") == "-10"* ]] || fail "record score reads '$(fact "record score" "$heard")'"
[[ $(fact "record name" "$heard") == "Ugo"* ]] || fail "record name reads '$(fact "record name" "$heard")'"

# The clock and the Help menu, read as a screen reader reads them.
read_window() {
    /usr/bin/python3 - "$here" "$game_pid" <<'EOF'
import sys
sys.path.insert(0, sys.argv[1])
import pyatspi
from atspi_read import find_application, fresh_name, titled_values, walk
app = find_application(int(sys.argv[2]))
print("clock: %s" % fresh_name(titled_values(app)["clock"]))
for node in walk(app):
    if node.getRole() == pyatspi.ROLE_MENU_ITEM:
        print("item: %s" % node.name)
EOF
}
help=$(read_window) || fail "the window could not be read"
[[ $(fact clock "$help") == 00:0[12]:[0-5][0-9] ]] || fail "the clock reads '$(fact clock "$help")'"
help=$(fact item "$help")
for text in "Ciao campione, mi raccomando colpisci solo i multipli del 3" \
    "Un numero è divisibile per 3 se la somma delle sue cifre è un multiplo del 3" \
    "Es 3102 è divisibile per 3 ed infatti 3+1+0+2 fa 6"; do
    grep -qxF "$text" <<<"$help" || fail "no Help item '$text' in: ${help//$'\n'/ | }"
done

# --- One hit and one miss, in whatever order the shuffle allows.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 300 420 click 1
hits=0 misses=0
for _ in 1 2 3 4 5 6; do
    (( hits == 0 )) && want=hit || want=decoy
    (( hits > 0 && misses > 0 )) && break
    said=$(see "$want") || fail "the accessibility client could not play"
    warning=$(fact box "$said")
    if [[ -z $warning ]]; then
        hits=$((hits + 1))
        continue
    fi
    number=$(fact clicked "$said")
    case $warning in
    "Attenzione!  $number non è  un numero divisibile per 3") ;;
    "Attenzione! Hai sbagliato:  $number  non è  un numero divisibile per 3") ;;
    "Attenzione!  $number  non è  un numero divisibile per 3") ;;
    *) fail "the warning for $number reads '$warning'" ;;
    esac
    (( number % 3 != 0 )) || fail "a decoy showed $number, a multiple of 3"
    misses=$((misses + 1))
    answer_box "$(wait_new_window "$main")"
done
(( hits > 0 && misses > 0 )) || fail "no hit and miss in six clicks ($hits hits, $misses misses)"
score=$(fact score "$(see labels)")

# --- The clock ends the game 121 ticks after the greeting: 00:00:00 shows for one whole second.
goodbye=$(tenths=1500 wait_new_window "$main") || fail "no goodbye from the clock"
ended=$(date +%s.%N)
awk -v a="$began" -v b="$ended" 'BEGIN { exit !(b - a > 119 && b - a < 127) }' \
    || fail "the clock ended the game after $(awk -v a="$began" -v b="$ended" 'BEGIN { print b - a }') s"
[[ $(fact box "$(see box)") == "           Ciao a presto." ]] || fail "goodbye reads '$(see box)'"
answer_box "$goodbye"
congratulation=$(wait_new_window "$main" "$goodbye") || fail "no congratulation for $score over -10"
answer_box "$congratulation"
wait_end || fail "the game did not end after the congratulation"
[[ $status == 0 ]] || fail "exit status $status after the exit flow"

# --- The record of the table of 3 is the score shown; the table of 5 keeps its own.
cmp -s "$records/azanfiro-div3-2min.txt" <(printf '%s\r\n' "$score") \
    || fail "score file: $(od -An -c "$records/azanfiro-div3-2min.txt")"
cmp -s "$records/zanfiro-div3-2min.txt" <(printf 'Anna\r\n') || fail "name file: $(od -An -c "$records/zanfiro-div3-2min.txt")"
(cd "$records" && sha256sum --quiet -c "$work/usual.sha256") || fail "the table of 5's files changed"
[[ ! -e $records/zanfiro-div3-2min.commit ]] || fail "a commit marker was left behind"
log=$(tail -n 1 "$records/partite.csv")
[[ $log == *";Anna;${score# };$hits;$misses;tempo scaduto;sì;3;2"$'\r' ]] || fail "the log's line reads '$log'"
[[ $(head -n 1 "$records/partite.csv") == *";Record;Divisore;Minuti"$'\r' ]] || fail "the log's header"

echo "PASS: the table of 3 for two minutes: refused bad values, Help texts, $hits hits, $misses misses, the clock, its own record and the log"
