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

take_turns
echo "PASS: two accounts took turns on one class folder: 5 games, the pair whole, every game logged"
