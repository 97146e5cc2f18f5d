#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Qt for Windows, made on Debian 12 from Debian's own source, for scripts/windows_game.sh: Debian's
# qtbase 6.4.2 (qt6-base_6.4.2+dfsg-10 with Debian's patches) cross-built for x86_64-w64-mingw32
# (MinGW-w64 GCC 12, POSIX threads) into $QTWIN_DIR/qt6-mingw (default ./qtwin), packed as
# $QTWIN_DIR/qt6.4.2-qtbase-mingw-w64-x86_64.tar.xz with the licence texts in $QTWIN_DIR/qt-licenses:
# Core, Gui, Widgets, Test, the qwindows and qoffscreen platform plugins (qoffscreen needs FreeType,
# bundled) and the windowsvista style, no OpenGL. About 80 minutes on two cores.
# The source: a deb-src line for bookworm, then `apt-get source --download-only qt6-base` in the
# folder named by QTSRC_DIR (default ./qtsrc).
# Host tools (moc, rcc, uic, ...) come from Debian's qt6-base-dev / qt6-base-dev-tools (QT_HOST_PATH).
# Needs: cmake ninja-build perl g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools xz-utils
# Usage: scripts/build_qt_windows.sh   (env JOBS=2 by default; every compile runs under nice -n 19)
# then: ZANFIRO_QT_WINDOWS=$QTWIN_DIR/qt6.4.2-qtbase-mingw-w64-x86_64.tar.xz scripts/windows_game.sh
set -eu
top=${QTWIN_DIR:-$(pwd)/qtwin}
srcdir=${QTSRC_DIR:-$(pwd)/qtsrc}
src=$top/qtbase-everywhere-src-6.4.2
build=$top/qtbase-build
prefix=$top/qt6-mingw
jobs=${JOBS:-2}
mkdir -p "$top"
cd "$top"

# 1. Source: Debian's orig tarball plus Debian's patch series.
if [ ! -f "$src/.debian-patched" ]; then
  rm -rf "$src" "$top/deb"
  tar xf "$srcdir/qt6-base_6.4.2+dfsg.orig.tar.xz" -C "$top"
  mkdir -p "$top/deb"
  tar xf "$srcdir/qt6-base_6.4.2+dfsg-10.debian.tar.xz" -C "$top/deb"
  grep -v '^#' "$top/deb/debian/patches/series" | grep -v '^ *$' | while read -r p; do
    patch -d "$src" -p1 --no-backup-if-mismatch <"$top/deb/debian/patches/$p"
  done
  # One patch of our own: Qt 6.4.2 compiles QWindowsDirectWriteFontDatabase into QtGui only with
  # Direct2D, but qwindows.dll uses it whenever DirectWrite 3 is found: with -DFEATURE_direct2d=OFF
  # the plugin fails to link (undefined __imp__ZN31QWindowsDirectWriteFontDatabaseC1Ev).
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"
  [ "$(grep -c 'QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)' \
    "$src/src/plugins/platforms/windows/qwindowsintegration.cpp")" = 2 ]
  touch "$src/.debian-patched"
fi

# 2. Toolchain file (the project's cmake/mingw-w64.cmake without -static).
cat >"$top/mingw-w64-qt.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# 3. Configure. The dfsg tarball lacks src/3rdparty/wintab, so tablet events are off.
rm -rf "$build"
mkdir -p "$build"
start=$(date +%s)
nice -n 19 cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$top/mingw-w64-qt.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_pkg_config=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF \
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF \
  -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_fontconfig=OFF \
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_png=OFF -DFEATURE_zstd=OFF \
  -DFEATURE_tabletevent=OFF \
  -DFEATURE_androiddeployqt=OFF \
  -DFEATURE_testlib=ON \
  >"$top/qt-configure.log" 2>&1 || { tail -60 "$top/qt-configure.log"; exit 1; }
conf_end=$(date +%s)

# 4. Build and install, two jobs at most.
nice -n 19 cmake --build "$build" --parallel "$jobs" >"$top/qt-build.log" 2>&1 || { tail -80 "$top/qt-build.log"; exit 1; }
build_end=$(date +%s)
rm -rf "$prefix"
cmake --install "$build" >"$top/qt-install.log" 2>&1
end=$(date +%s)

# 5. The archive, and the licence texts that must travel with the DLLs.
archive=qt6.4.2-qtbase-mingw-w64-x86_64.tar.xz
rm -rf "${top:?}/$archive" "${top:?}/qt-licenses"
(cd "$top" && nice -n 19 tar cJf "$archive" qt6-mingw)
mkdir -p "$top/qt-licenses"
cp "$src"/LICENSES/*.txt "$top/qt-licenses/"
cp "$top/deb/debian/copyright" "$top/qt-licenses/debian-copyright"
echo "configure: $((conf_end - start)) s, build: $((build_end - conf_end)) s, install: $((end - build_end)) s"
du -sh "$prefix"
ls -l "$top/$archive"
