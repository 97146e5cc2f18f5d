#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two copies store their records at the same moment on one folder over an older record, and one of
# them meets a fault at one system call of its load, commit or log line: SIGKILL, EIO or ENOSPC at
# the N-th call of rename, unlink, fsync and fdatasync in turn, for every N that the copy reaches.
# After each run a clean start (which finishes any half-done commit) must find a whole pair: the
# old one, or either copy's, never one copy's score with another's name; and a faulted copy that
# ended with status 0 and no error box must have left its own record, the highest. Not part of CI.
# Usage: record_race_faults.sh   (from the source folder, with a configured build/)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target record_race >/dev/null
race=$PWD/build/tools/record_race
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/xdg HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"

runs=0 bad=0 silent=0
for fault in signal=KILL error=EIO error=ENOSPC; do
    for call in rename unlink fsync fdatasync; do
        for ((n = 1; ; n++)); do
            dir=$work/r && rm -rf "$dir" && mkdir -p "$dir"
            printf ' 50\r\n' >"$dir/azanfiro.txt" && printf 'Alunno 50\r\n' >"$dir/zanfiro.txt"
            at=$(($(date +%s%3N) + 1200))
            strace -f -qq -o "$work/trace" -e trace="$call" -e inject="$call:$fault:when=$n" \
                "$race" --record-dir "$dir" "Alunno 70" 70 "$at" 2>"$work/a.err" &
            faulted=$!
            "$race" --record-dir "$dir" "Alunno 60" 60 "$at" 2>/dev/null &
            other=$!
            status=0 && wait "$faulted" || status=$?
            wait "$other" || true
            grep -q INJECTED "$work/trace" || break
            runs=$((runs + 1))
            "$race" --record-dir "$dir" "Alunno 0" 0 0 2>/dev/null || true
            score=$(tr -d '\r\n ' <"$dir/azanfiro.txt") name=$(tr -d '\r\n' <"$dir/zanfiro.txt")
            if [[ $name != "Alunno $score" || ! $score =~ ^(50|60|70)$ ]]; then
                bad=$((bad + 1)); echo "$fault at $call #$n: pair '$score' '$name'" >&2
            fi
            if ((status == 0)) && ! grep -q 'Errore di run-time' "$work/a.err" && [[ $score != 70 ]]; then
                silent=$((silent + 1)); echo "$fault at $call #$n: status 0, no box, record '$score'" >&2
            fi
        done
    done
done
echo "faulted runs: $runs; mixed or broken pairs: $bad; records lost without a box: $silent"
((bad == 0 && silent == 0))
