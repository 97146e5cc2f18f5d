#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The teacher resets the class record while a pupil's game ends with a new one, in the same few
# milliseconds. Each round starts from a record of 5 points; then either order is right: the
# reset first (then the pupil's record stands) or the pupil first (then the reset finds a record
# it was not asked about and keeps it, or, when it read after the pupil, empties the pair). The
# round fails on any other pair (a score with another's name, one file empty), on a reset that
# fails, and when the log lost the game. Not part of CI: it takes minutes.
# Usage: reset_race.sh [ROUNDS]   (from a configured build/)
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${1:-50}
cmake --build build --target record_race reset_race >/dev/null
race=$PWD/build/tools/record_race
reset=$PWD/build/tools/reset_race
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/xdg HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"

failures=0 emptied=0 pupil=0 kept=0
for ((round = 1; round <= rounds; round++)); do
    dir=$work/round-$round
    mkdir -p "$dir"
    printf ' 5\r\n' >"$dir/azanfiro.txt"
    printf 'Alunno 5\r\n' >"$dir/zanfiro.txt"
    score=$(shuf -i 10-99 -n 1)
    at=$(($(date +%s%3N) + 1500))
    # The reset lands up to 15 ms either side of the pupil's goodbye.
    "$race" --record-dir "$dir" "Alunno $score" "$score" "$at" 2>>"$work/errors" &
    game=$!
    said=$("$reset" --record-dir "$dir" $((at + $(shuf -i 0-30 -n 1) - 15)) 2>>"$work/errors") || said=error
    status=0
    wait "$game" || status=$?

    got_score=$(tr -d '\r\n ' <"$dir/azanfiro.txt")
    got_name=$(tr -d '\r\n' <"$dir/zanfiro.txt")
    logged=$(grep -c "Alunno $score;" "$dir/partite.csv" || true)
    case "$said|$got_score|$got_name" in
    "reset||") emptied=$((emptied + 1)) ok=1 ;;
    "reset|$score|Alunno $score") pupil=$((pupil + 1)) ok=1 ;;
    "kept|$score|Alunno $score") kept=$((kept + 1)) ok=1 ;;
    *) ok=0 ;;
    esac
    if ((ok == 0 || status != 0 || logged != 1)); then
        failures=$((failures + 1))
        echo "round $round: reset said '$said', game status $status, pair '$got_score' '$got_name', log lines $logged" >&2
    fi
done
echo "rounds: $rounds; record emptied: $emptied, pupil's record after the reset: $pupil, reset kept a newer record: $kept"
echo "failed rounds: $failures"
grep -v propagateSizeHints "$work/errors" | sort | uniq -c | sed '1i errors:' || true
((failures == 0))
