#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the game and its tests, runs every test, then builds the whole
# game for Windows and tests it under wine with its zip and installer (the core alone when there
# is no Qt for Windows: scripts/windows_game.sh), runs the whole suite again built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes the readers of the record, the waves
# and the game log for a minute each. It says what each stage did, and ends with one line for all.
# ZANFIRO_QUICK=1 stops after the first pass.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
began=$(date +%s)
ran=""
skipped=""
current=""

# The summary, however the run ends: a failed stage says so, and names the stages it kept from
# running.
summary() {
    status=$?
    minutes=$(( ($(date +%s) - began + 59) / 60 ))
    if [ "$status" -ne 0 ] && [ -n "$current" ]; then
        echo "== FAILED: $current; not run: $(remaining "$current")"
        echo "== test.sh: FAILED after ${minutes} min; passed:${ran:- none}"
    else
        echo "== test.sh: passed in ${minutes} min:${ran}${skipped:+; skipped:$skipped}"
    fi
}
trap summary EXIT

stages="build tests windows sanitizers fuzz"
remaining() {
    after=0 left=""
    for s in $stages; do
        [ "$after" = 1 ] && left="$left $s"
        [ "$s" = "$1" ] && after=1
    done
    echo "${left:- nothing}"
}
stage() { current=$1; echo "== $1"; }
passed() { ran="$ran $current${1:+ ($1)}"; current=""; }

stage build
./scripts/install-deps.sh --test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
passed

stage tests
ctest --test-dir build --output-on-failure -j"$jobs" | tee build/ctest.log
passed "$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\)/\2 run, \1 failed/p' build/ctest.log), $(grep -c '(Skipped)' build/ctest.log || true) skipped"
if [ "${ZANFIRO_QUICK:-0}" = 1 ]; then
    skipped=" windows sanitizers fuzz (ZANFIRO_QUICK=1)"
    exit 0
fi

# The game built for Windows with MinGW-w64, once for the core's tests and the whole game's, and
# tested under wine.
stage windows
./scripts/windows_game.sh build-win | tee build/windows.log
grep -q '^skipped: no Qt for Windows' build/windows.log && skipped="$skipped the whole game for Windows (no Qt for Windows; its core was tested)"
passed

stage sanitizers
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANFIRO_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:fast_unwind_on_malloc=0" \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"
passed

stage fuzz
./scripts/fuzz.sh "${ZANFIRO_FUZZ_SECONDS:-60}"
passed
