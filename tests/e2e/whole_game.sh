#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole games as a pupil plays them, seen through the accessibility bus as a screen reader sees
# them, from the first run on a new account: the empty record, a good target hit right after a
# shuffle tick, Exit with its goodbye and congratulation and the record files byte for byte;
# then the record read back at the next start and only tied, which keeps it; then a decoy with
# its warning naming the number and the four points it costs, which writes nothing either.
# A click that a shuffle tick turns into a hit on the wrong kind of target ends that game with
# the close box (which writes nothing) and plays it again.
# Usage: whole_game.sh path/to/zanfiro   (a screenshot of a failure goes beside the program, or
# to $ZANFIRO_E2E_OUT)
set -euo pipefail

zanfiro=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
out=${ZANFIRO_E2E_OUT:-$(dirname "$zanfiro")}
failure_shot=$out/e2e-whole-game-failure.png
rm -f "$failure_shot"
# shellcheck source-path=SCRIPTDIR source=lib/session.sh
source "$here/lib/session.sh"

start_x
private_home
start_accessibility_bus

# What the accessibility client says of the running game, and one fact out of it.
see() { /usr/bin/python3 "$here/atspi_targets.py" "$1" "$game_pid" "${@:2}"; }
fact() { sed -n "s/^$1: //p" <<<"$2"; }

# A new game for Anna, up to its window ($main), the clock running and play not begun.
begin() {
    start_game "$1"
    answer_prompt Anna
    main=$(wait_new_window "$prompt" "$greeting") || fail "no main window"
}

# A click on the background starts play (the point is clear of every target's first place).
start_play() {
    xdotool windowfocus --sync "$main"
    xdotool mousemove --window "$main" 300 420 click 1
}

# The close box on a game gone wrong; it must end at once with status 0 and write nothing.
abandon() {
    close_box "$main"
    wait_end || fail "the close box did not end the game"
    [[ $status == 0 ]] || fail "exit status $status after the close box"
}

# Plays one target of the kind given (hit or decoy) in a fresh game until the click meets that
# kind; leaves what was heard in $said. Any check of the game's start goes in the function named
# by $2, run before play.
play_one() {
    local attempt
    for attempt in 1 2 3 4 5; do
        begin "$1-$attempt"
        [[ -z ${2:-} ]] || "$2"
        start_play
        said=$(see "$1") || fail "the accessibility client could not play: $(cat "$work/$1-$attempt.log")"
        case $1:$(fact box "$said") in
        hit: | decoy:?*) return 0 ;;
        hit:?*) answer_box "$(wait_new_window "$main")" ;;
        esac
        echo "a shuffle tick turned the click on a $1 into the other kind (${said//$'\n'/, }); once more" >&2
        abandon
    done
    fail "no clean click on a $1 in five games"
}

# Exit as a pupil does it: Alt+X, the goodbye box read and closed.
say_goodbye() {
    xdotool windowfocus --sync "$main"
    xdotool key alt+x
    goodbye=$(wait_new_window "$main") || fail "no goodbye after Alt+X"
    [[ $(fact box "$(see box)") == "           Ciao a presto." ]] || fail "goodbye reads '$(see box)'"
    answer_box "$goodbye"
}

# After the goodbye, a game with no new record ends at once: no congratulation, status 0.
ends_without_record() {
    if tenths=30 wait_new_window "$main" "$goodbye" >/dev/null; then
        fail "a box after the goodbye with no new record: $(see box)"
    fi
    wait_end || fail "the game did not end after the goodbye"
    [[ $status == 0 ]] || fail "exit status $status after the goodbye"
}

# The record files hold the score and the name, each as one line ended by CR LF.
record_is() {
    local file=$records/azanfiro.txt
    cmp -s "$file" <(printf '%s\r\n' "$1") || fail "score file: $(od -An -tx1 "$file")"
    file=$records/zanfiro.txt
    cmp -s "$file" <(printf '%s\r\n' "$2") || fail "name file: $(od -An -tx1 "$file")"
}

# --- The first run ever: no record yet, so the labels are empty and the files made empty.
first_start() {
    local heard
    heard=$(see labels) || fail "the accessibility client could not read the window"
    [[ $(fact "record name" "$heard") == "" ]] || fail "record name reads '$(fact "record name" "$heard")'"
    [[ $(fact "record score" "$heard") == "" ]] || fail "record score reads '$(fact "record score" "$heard")'"
    [[ $(fact pupil "$heard") == Anna ]] || fail "pupil reads '$(fact pupil "$heard")'"
    [[ $(fact score "$heard") == 0 ]] || fail "score reads '$(fact score "$heard")' before play"
    for file in azanfiro.txt zanfiro.txt; do
        [[ -f $records/$file && ! -s $records/$file ]] || fail "$file is not an empty file at the first start"
    done
}
[[ ! -e $records ]] || fail "the account is not new"
play_one hit first_start
[[ $(fact score "$said") == " 1" ]] || fail "score reads '$(fact score "$said")' after a hit"

# One point beats the empty record: congratulated and written.
say_goodbye
congratulation=$(wait_new_window "$main" "$goodbye") || fail "no congratulation for the new record"
[[ $(fact box "$(see box)") == 'Ok ho registrato il tuo record, C A M P I O N E"' ]] \
    || fail "congratulation reads '$(see box)'"
answer_box "$congratulation"
wait_end || fail "the game did not end after the congratulation"
[[ $status == 0 ]] || fail "exit status $status after the congratulation"
record_is " 1" Anna

# --- The next start shows that record, and a game that only ties it keeps it as it is.
record_shown() {
    local heard
    heard=$(see labels) || fail "the accessibility client could not read the window"
    # The record labels keep the files' line breaks.
    [[ $(fact "record score" "$heard") == " 1"* ]] || fail "record score reads '$(fact "record score" "$heard")'"
    [[ $(fact "record name" "$heard") == Anna* ]] || fail "record name reads '$(fact "record name" "$heard")'"
}
play_one hit record_shown
[[ $(fact score "$said") == " 1" ]] || fail "score reads '$(fact score "$said")' after a hit"
say_goodbye
ends_without_record
record_is " 1" Anna

# --- A decoy: its warning names the number clicked, and closing it costs four points.
play_one decoy
number=$(fact clicked "$said")
warning=$(fact box "$said")
case $warning in
"Attenzione!  $number non è  un numero divisibile per 5") ;;
"Attenzione! Hai sbagliato:  $number  non è  un numero divisibile per 5") ;;
"Attenzione!  $number  non è  un numero divisibile per 5") ;;
*) fail "the warning for $number reads '$warning'" ;;
esac
answer_box "$(wait_new_window "$main")"
see wait-score -4 >/dev/null || fail "score reads '$(fact score "$(see labels)")' after the warning"
say_goodbye
ends_without_record
record_is " 1" Anna

echo "PASS: a first record made, shown again and kept on a tie; a decoy warned of and paid for"
