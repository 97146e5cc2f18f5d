#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the game and its tests, runs every test, then builds the core
# for Windows and runs its unit tests under wine, runs the whole suite again built with
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

# The core built for Windows with MinGW-w64 and its unit tests run under wine.
./scripts/windows_core.sh build-mingw

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANFIRO_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:fast_unwind_on_malloc=0" \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

./scripts/fuzz.sh "${ZANFIRO_FUZZ_SECONDS:-60}"
