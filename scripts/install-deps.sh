#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Zanfiro needs on Debian 12 and is still missing, as root or with sudo.
#   scripts/install-deps.sh          what building and running the game needs
#   scripts/install-deps.sh --test   that and what the tests, benchmarks, soak run and the
#                                    Windows build under wine and its installer need
# One package a line, so that lists from different changes merge cleanly.
set -eu

# Building and running. Qt's X11 platform plugin is in libqt6gui6, pulled in by qt6-base-dev; the
# sounds go to ALSA (libasound2), which a desktop leads on to its sound server; the fonts are
# inside the program.
build_packages="
cmake
ninja-build
g++
qt6-base-dev
libasound2-dev
"

test_packages="
pkg-config
libgtest-dev
libgmock-dev
libbenchmark-dev
fonts-liberation2
fonts-dejavu-core
xvfb
xauth
xdotool
x11-utils
imagemagick
pulseaudio
pulseaudio-utils
libasound2-plugins
sox
appstream
desktop-file-utils
clang
libclang-rt-14-dev
at-spi2-core
python3-pyatspi
dbus-daemon
openbox
xxd
poppler-utils
bc
googletest
g++-mingw-w64-x86-64-posix
wine64
nsis
"

case "${1:-}" in
"") packages=$build_packages ;;
--test) packages="$build_packages $test_packages" ;;
*) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || {
    echo "Missing:$missing. Install them as root: su -c '$0 $*'" >&2
    exit 1
  }
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
