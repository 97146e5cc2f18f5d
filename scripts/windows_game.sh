#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole game for Windows, proved on Linux: cross-built with MinGW-w64 against Qt for Windows,
# deployed by the project's install rules, and under wine on a private X server: the core's unit
# tests, the view tests on Qt's offscreen platform, a whole game with its record files and log; then
# the zip and the installer made by CPack, the installer run silently, its Start-menu entries, the
# installed game started, and its uninstaller; last the class folder from the machine's settings.
# Without Qt for Windows only the core and its tests are built and run (scripts/windows_core.sh).
# Usage: scripts/windows_game.sh [build dir]          (default: build-win)
#   ZANFIRO_QT_WINDOWS  Qt's archive (default: ../shared/toolchains/qt6.4.2-qtbase-mingw-w64-x86_64.tar.xz,
#                       its licence texts in qt-licenses beside it)
# Fails when any step fails; prints the counts, the packages' sizes and the time of each step.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win}
archive=${ZANFIRO_QT_WINDOWS:-../shared/toolchains/qt6.4.2-qtbase-mingw-w64-x86_64.tar.xz}
if [[ ! -f $archive ]]; then
    echo "skipped: no Qt for Windows ($archive); the core alone is built and tested"
    exec ./scripts/windows_core.sh "$build-core"
fi
began=$(date +%s)
step() { echo "[$(($(date +%s) - began)) s] $*"; }
mkdir -p "$build"
build=$(cd "$build" && pwd)
qt=$build/qt6-mingw
licences=$(cd "$(dirname "$archive")" && pwd)/qt-licenses

# --- Qt unpacked once into the build tree, again when the archive changes.
stamp=$(stat -c '%s %Y' "$archive")
if [[ ! -f $qt/.archive || $(cat "$qt/.archive") != "$stamp" ]]; then
    rm -rf "$qt"
    tar xJf "$archive" -C "$build"
    echo "$stamp" >"$qt/.archive"
fi

# Optimised as RelWithDebInfo is but without its debugging information, which lengthens the compile
# of the tests (most of the build) for packages that are stripped anyway. -O2, not Release's -O3,
# at which GCC 12 warns of overlapping copies inside std::string that cannot happen.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DZANFIRO_GTEST_SOURCE=/usr/src/googletest -DZANFIRO_QT_LICENSE_DIR="$licences" "${launcher[@]}" \
    >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
step "configured against $qt"
nice -n 5 cmake --build "$build" -j"$(nproc)" --target zanfiro zanfiro_core_tests zanfiro_view_tests
step "built zanfiro.exe and the tests"

# --- The program's folder as the install rules lay it out, stripped, and the tests beside it.
dist=$build/dist
rm -rf "$dist"
cmake --install "$build" --prefix "$dist" --strip >/dev/null
cmake --install "$build" --prefix "$dist" --strip --component tests >/dev/null
step "deployed: $(cd "$dist" && find . -name '*.dll' | sort | tr '\n' ' ')"

# Debian puts wine64 and wineserver outside the PATH.
PATH=/usr/lib/wine:$PATH
wine=wine64
WINEPREFIX=$build/wine
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
[[ -d $WINEPREFIX ]] || DISPLAY='' "$wine" wineboot -i >/dev/null 2>&1 || true
# A machine without settings: the class folder's check of the last run leaves its own behind, and
# the view tests' games would read it.
rm -rf "$WINEPREFIX/drive_c/ProgramData/zanfiro"

# Runs a test program of the folder under wine; prints how many passed, fails on any failure and
# on a hang (a box nobody answers).
gtest() {
    local log=$build/$1.log status=0 passed
    (cd "$dist" && DISPLAY='' timeout 600 "$wine" "$1.exe" --gtest_brief=1 "${@:2}") >"$log" 2>&1 || status=$?
    passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log")
    if [[ $status -ne 0 || -z $passed ]]; then
        cat "$log"
        echo "FAIL: $1 under wine (status $status)"
        exit 1
    fi
    echo "$passed"
}
core=$(gtest zanfiro_core_tests)
step "core tests under wine: $core passed"
view=$(WINEQT_QPA_PLATFORM=offscreen gtest zanfiro_view_tests)
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?[.,].*/\1/p' "$build/zanfiro_view_tests.log")
step "view tests under wine (offscreen): $view passed${skipped:+, $skipped skipped}"

# What the game plays goes to a private sound server and is measured: wine may find no way to it,
# so silence is said, never failed on.
status=0
./scripts/sound_proof.sh tests/e2e/wine/whole_game.sh "$dist" "$build" || status=$?
[[ $status == 0 || $status == 3 ]] || exit "$status"
step "end-to-end game under wine: passed"

# --- The packages, from the same install rules, and the installer tried as a school would.
(cd "$build" && cpack -G "ZIP;NSIS" >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
zip=$(stat -c %s "$build"/zanfiro-*-windows-x64.zip)
installer=$(stat -c %s "$build"/zanfiro-*-windows-x64.exe)
step "packages: $(cd "$build" && ls zanfiro-*-windows-x64.zip) $zip bytes, $(cd "$build" && ls zanfiro-*-windows-x64.exe) $installer bytes"
tests/e2e/wine/installer.sh "$build"/zanfiro-*-windows-x64.exe "$build"
step "installer under wine: passed"

echo "Windows build (MinGW-w64, Qt for Windows, under wine): core tests $core passed, view tests $view" \
    "passed, end-to-end game passed, zip $zip bytes, installer $installer bytes, $(($(date +%s) - began)) s"
tests/e2e/wine/class_folder.sh "$dist" "$build"
