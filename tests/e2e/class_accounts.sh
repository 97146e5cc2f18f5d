#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A class of real accounts on one class folder, set up as the README tells a technician: two
# pupils' accounts in one group, the folder owned by that group with mode 2770, the machine's
# settings file naming it with the log on, the pupils' umask Debian's 022. The two take turns:
# one sets a record, the other plays below it, the teacher deletes the log, the other beats the
# record, the first closes the window, then beats it again. Every game must load and end
# normally, the pair must always be whole and the best, the log must hold its header and one
# whole line a game, and every file must stay the group's to read and replace.
# Needs root (to make the accounts); it says so and passes when not root.
# Usage: class_accounts.sh path/to/zanfiro   (the game's test build, with tools/record_race)
set -euo pipefail
export LC_ALL=C.UTF-8

zanfiro=$(readlink -f "$1")
race=$(dirname "$zanfiro")/tools/record_race
if [[ $(id -u) != 0 ]]; then
    echo "SKIP: making the pupils' accounts needs root"
    exit 0
fi
[[ -x $race ]] || { echo "FAIL: $race is missing (built with the tests)"; exit 1; }

# shellcheck source-path=SCRIPTDIR source=lib/class_folder.sh
source "$(dirname "$(readlink -f "$0")")/lib/class_folder.sh"
make_class

# One game of pupil $1 (1 or 2), named $2, ending with score $3 (or "chiude": the close box).
play() {
    local status=0
    game_of "$@" || status=$?
    [[ $status == 0 ]] || fail "pupil $1's game ($2, $3) ended with status $status: $(cat "$work/game.log")"
}

games=0
expect() {
    local score name
    score=$(cat "$folder/azanfiro.txt")
    name=$(cat "$folder/zanfiro.txt")
    [[ $score == " $1"$'\r' && $name == "$2"$'\r' ]] || fail "the pair is '$score' '$name', not $1 $2"
    # One header with its byte order mark, then one whole line a game since the log was deleted.
    [[ $(head -c 3 "$folder/partite.csv" | xxd -p) == efbbbf ]] || fail "the log has no byte order mark"
    head -n 1 "$folder/partite.csv" | grep -q '^.*Inizio;Fine;Nome;' || fail "the log has no header"
    local lines whole
    lines=$(($(wc -l <"$folder/partite.csv") - 1))
    whole=$(tail -n +2 "$folder/partite.csv" | grep -c $'^[0-9-]* [0-9:]*;[0-9-]* [0-9:]*;[A-Za-z]*;-\\?[0-9]*;[0-9]*;[0-9]*;[a-z ]*;\\(s\xc3\xac\\|no\\).*\r$' || true)
    ((lines == games && whole == games)) || fail "the log holds $lines lines, $whole whole, for $games games"
    # Everything the game made belongs to the class: its group, readable and writable by it.
    local file
    for file in "$folder"/*; do
        [[ $(stat -c %G "$file") == "$group" ]] || fail "$file is not the class's: $(stat -c %G "$file")"
        [[ $(stat -c %A "$file") == -rw-rw---- ]] || fail "$file has the rights $(stat -c %A "$file")"
    done
}

play 1 Anna 12; games=1; expect 12 Anna
play 2 Bruno 9; games=2; expect 12 Anna
rm "$folder/partite.csv"; games=0
play 2 Bruno 20; games=1; expect 20 Bruno
play 1 Anna chiude; games=2; expect 20 Bruno
grep -q ';finestra chiusa;' "$folder/partite.csv" || fail "the close box's game is not in the log"
play 1 Anna 25; games=3; expect 25 Anna
[[ $(find "$folder" -mindepth 1 | wc -l) == 3 ]] || fail "files left beside the record: $(ls "$folder")"
echo "PASS: two accounts took turns on one class folder: 5 games, the pair whole, every game logged"
