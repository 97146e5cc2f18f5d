#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build of the toolkit-free core, proved on Linux: cross-compiles the core and its
# unit tests with MinGW-w64, GoogleTest built from Debian's sources, and runs the tests under wine.
# The Qt view is not built: this is what scripts/windows_game.sh runs when there is no Qt for
# Windows to build it against. Fails when any test fails.
# Usage: scripts/windows_core.sh [build dir]        (default: build-mingw)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build-mingw}
mkdir -p "$build"
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
# shellcheck disable=SC2086
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DZANFIRO_CORE_ONLY=ON -DZANFIRO_GTEST_SOURCE=/usr/src/googletest $launcher >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j"$(nproc)" --target zanfiro_core_tests zanfiro_sound

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
# A private wine folder in the build tree, made once (the first start takes a while), quiet and
# without a display.
WINEPREFIX=$(cd "$build" && pwd)/wine
WINEDEBUG=-all
DISPLAY=
export WINEPREFIX WINEDEBUG DISPLAY
[ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1 || true

log=$build/core_tests.log
status=0
"$wine" "$build/tests/zanfiro_core_tests.exe" --gtest_brief=1 >"$log" 2>&1 || status=$?
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log")
if [ "$status" -ne 0 ] || [ -z "$passed" ]; then
  cat "$log"
  echo "FAIL: the core's unit tests built by MinGW-w64 fail under wine (status $status)"
  exit 1
fi
echo "Windows build of the core (MinGW-w64, under wine): $passed tests passed"
