#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing Zanfiro needs on Debian 12 (run as root or with sudo).
set -eu
packages="cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev libgtest-dev libgmock-dev
  libbenchmark-dev fonts-liberation2 fonts-dejavu-core xvfb xauth xdotool x11-utils imagemagick
  pulseaudio pulseaudio-utils sox appstream desktop-file-utils clang libclang-rt-14-dev at-spi2-core python3-pyatspi dbus-daemon
  openbox"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
