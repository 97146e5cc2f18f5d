#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Many copies of the game ending at once on one record folder. Each round, eight pupils with
# eight different scores close their goodbye boxes within the same few milliseconds; the round
# passes when the record is the highest score with its own holder's name (never a mixed pair,
# never a lower score over a higher one) and the teacher's log holds exactly one whole line for
# each game. Not part of CI: it takes minutes. See docs/record_stress.md.
# Usage: record_race.sh [--slow-flush MS] [--folder DIR] [ROUNDS]   (from a configured build/)
set -euo pipefail
cd "$(dirname "$0")/.."

slow=0 folder="" rounds=50 copies=8
while (($#)); do
    case $1 in
    --slow-flush) slow=$2; shift 2 ;;
    --folder) folder=$2; shift 2 ;;
    *) rounds=$1; shift ;;
    esac
done
cmake --build build --target record_race >/dev/null
race=$PWD/build/tools/record_race
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[[ -n $folder ]] || folder=$work/records
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/xdg HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"

# Every flush (file and folder) waits $slow ms before it returns, as on a slow disk or share.
run() {
    if ((slow > 0)); then
        strace -f -qq -o /dev/null -e trace=fsync,fdatasync \
            -e inject=fsync,fdatasync:delay_exit=$((slow * 1000)) "$@"
    else
        "$@"
    fi
}

failures=0 mixed=0 lower=0 badlog=0 errors=0
for ((round = 1; round <= rounds; round++)); do
    dir=$folder/round-$round
    mkdir -p "$dir"
    mapfile -t scores < <(shuf -i 10-99 -n "$copies")
    # Everybody loads (and so creates the empty record) first, then all close together.
    at=$(($(date +%s%3N) + 1500 + slow * 6))
    pids=()
    for score in "${scores[@]}"; do
        run "$race" --record-dir "$dir" "Alunno $score" "$score" "$at" 2> >(grep -v propagateSizeHints >>"$work/errors") &
        pids+=($!)
    done
    status=0
    for pid in "${pids[@]}"; do wait "$pid" || status=1; done
    ((status == 0)) || { errors=$((errors + 1)); echo "round $round: a copy ended with an error" >&2; }

    best=$(printf '%s\n' "${scores[@]}" | sort -n | tail -1)
    got_score=$(tr -d '\r\n ' <"$dir/azanfiro.txt")
    got_name=$(tr -d '\r\n' <"$dir/zanfiro.txt")
    ok=1
    if [[ $got_name != "Alunno $got_score" ]]; then mixed=$((mixed + 1)) ok=0; fi
    if [[ $got_score != "$best" ]]; then lower=$((lower + 1)) ok=0; fi
    # One header, then one line a game, each a whole line ending in CR LF.
    log=$dir/partite.csv
    lines=$(($(grep -c $'\r$' "$log" 2>/dev/null || echo 0) - 1))
    whole=$(tail -n +2 "$log" 2>/dev/null | grep -c $'^[^;]*;[^;]*;"\\?Alunno [0-9]*"\\?;.*\r$' || true)
    if ((lines != copies || whole != copies)); then badlog=$((badlog + 1)) ok=0; fi
    ((ok)) || { failures=$((failures + 1)); echo "round $round: best $best, stored '$got_score' '$got_name', log $lines lines ($whole whole)" >&2; }
done
echo "rounds: $rounds, copies: $copies, slow flush: ${slow} ms"
echo "failed rounds: $failures (mixed pair $mixed, lower record $lower, log wrong $badlog, error box $errors)"
[[ -s $work/errors ]] && { echo "error boxes:"; sort "$work/errors" | uniq -c; }
((failures == 0))
