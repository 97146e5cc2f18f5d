#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the game and its tests, runs every test, then builds the whole
# game for Windows and tests it under wine with its zip and installer (the core alone when there
# is no Qt for Windows: scripts/windows_game.sh), runs the whole suite again built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes the record and wave readers for a
# minute each.
# ZANFIRO_QUICK=1 stops after the first pass.
set -eu
cd "$(dirname "$0")/.."
jobs="$(nproc)"
./scripts/install-deps.sh --test

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
[ "${ZANFIRO_QUICK:-0}" = 1 ] && exit 0

# The game built for Windows with MinGW-w64, once for the core's tests and the whole game's, and
# tested under wine.
./scripts/windows_game.sh build-win

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANFIRO_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:fast_unwind_on_malloc=0" \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

./scripts/fuzz.sh "${ZANFIRO_FUZZ_SECONDS:-60}"
