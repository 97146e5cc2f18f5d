#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a sound test again and again on a loaded machine: busy loops, one per core asked for, spin
# beside it all the while. A sound that stutters on a busy PC splits in two and fails the long
# series of shots. Prints each failure and a total line.
#
# Usage: bench/sound_under_load.sh [build folder] [runs] [busy loops] [test filter]
# Exit status: 0 when every run passed, 1 otherwise.
set -eu

build=${1:-build}
runs=${2:-20}
loops=${3:-2}
filter=${4:-WavePlayerOnServer.EveryShotOfALongSeriesSounds}
tests=$build/tests/zanfiro_view_tests
[ -x "$tests" ] || { echo "$0: $tests is not built" >&2; exit 2; }
build=$(cd "$build" && pwd)
log=$(mktemp)

busy=
cleanup() {
    for pid in $busy; do kill "$pid" 2>/dev/null || true; done
    rm -f "$log"
}
trap cleanup EXIT INT TERM
i=0
while [ "$i" -lt "$loops" ]; do
    (while :; do :; done) &
    busy="$busy $!"
    i=$((i + 1))
done

passed=0
run=1
while [ "$run" -le "$runs" ]; do
    if QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$build/xdg-runtime ZANFIRO_TEST_SUONI=$build/suoni \
        "$tests" --gtest_filter="$filter" >"$log" 2>&1; then
        passed=$((passed + 1))
    else
        echo "run $run failed:"
        grep -E "Failure|Which is|Expected" "$log" || tail -5 "$log"
    fi
    run=$((run + 1))
done
echo "sound_under_load: $passed of $runs runs passed, $loops busy loops, load $(cut -d' ' -f1-3 /proc/loadavg)"
[ "$passed" -eq "$runs" ]
