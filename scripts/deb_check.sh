#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Proves the Debian package on a clean Debian 12, the way a school PC gets it: builds the .deb, makes
# a fresh bookworm root with debootstrap, installs the package there with apt, checks the menu entry,
# icons and metainfo, starts the installed game under Xvfb as an ordinary user, removes the package
# and checks that the user's record files stayed. Heavy (a few minutes, ~1 GB): not part of CI.
# Usage, as root: scripts/deb_check.sh [build dir]        (default: build-pkg)
# DEB_CHECK_MIRROR overrides the Debian mirror taken from apt's sources.
# shellcheck disable=SC2317 # cleanup runs from the trap
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$repo/build-pkg}" && cd "${1:-$repo/build-pkg}" && pwd)
work=$build/deb-check
root=$work/root
export DEBIAN_FRONTEND=noninteractive

[ "$(id -u)" -eq 0 ] || { echo "deb_check.sh: debootstrap and chroot need root"; exit 2; }

# The mirror this machine's apt already uses for bookworm.
debian_mirror() {
    grep -hoE '(^URIs:|^deb) *(\[[^]]*\] *)?https?://[^ ]+/debian/?( |$)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
        2>/dev/null | grep -oE 'https?://[^ ]+' | head -n 1
}
mirror=${DEB_CHECK_MIRROR:-$(debian_mirror)}
mirror=${mirror:-http://deb.debian.org/debian}

missing=""
for tool in debootstrap:debootstrap dpkg-shlibdeps:dpkg-dev cpack:cmake ninja:ninja-build convert:imagemagick; do
    command -v "${tool%%:*}" >/dev/null || missing="$missing ${tool#*:}"
done
if [ -n "$missing" ]; then
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing
fi

unmount_root() {
    for m in var/cache/apt/archives dev/shm proc; do
        if mountpoint -q "$root/$m"; then umount "$root/$m"; fi
    done
}
# Processes the check started inside the root are ended by their ids, then the mounts go.
cleanup() {
    if [ -f "$root/tmp/deb-check-pids" ]; then
        while read -r pid; do kill "$pid" 2>/dev/null || true; done <"$root/tmp/deb-check-pids"
        sleep 1
    fi
    unmount_root
}
trap cleanup EXIT INT TERM

mkdir -p "$work"
echo "== Building the package"
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$work/cmake.log" 2>&1 ||
    { cat "$work/cmake.log"; exit 1; }
cmake --build "$build" --target zanfiro -j"$(nproc)" >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log"; echo "FAIL: the program does not build"; exit 1; }
rm -f "$build"/zanfiro_*.deb
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$build"/zanfiro_*.deb)
basename "$deb"
dpkg-deb --field "$deb" Package Version Section Depends Recommends

echo "== Making a clean Debian 12 root"
mkdir -p "$work/apt-archives/partial"
if [ ! -f "$work/bookworm-base.tar" ]; then
    rm -rf "$work/base.new"
    if ! debootstrap --variant=minbase bookworm "$work/base.new" "$mirror" >"$work/debootstrap.log" 2>&1; then
        tail -n 20 "$work/debootstrap.log"
        echo "FAIL: debootstrap could not make a bookworm root from $mirror"
        exit 1
    fi
    tar -C "$work/base.new" -cf "$work/bookworm-base.tar" .
    rm -rf "$work/base.new"
fi
unmount_root
if grep -q " $root/" /proc/mounts; then echo "something is still mounted under $root"; exit 1; fi
rm -rf "$root"
mkdir -p "$root"
tar -C "$root" -xf "$work/bookworm-base.tar"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# No services start inside the root while packages install.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
mount -t proc proc "$root/proc"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
# Downloaded packages are kept between runs; the root itself is new every time.
mount --bind "$work/apt-archives" "$root/var/cache/apt/archives"
cp "$deb" "$root/tmp/"
cp "$repo/scripts/deb_check_inside.sh" "$root/tmp/"

echo "== Checking inside the root"
status=0
chroot "$root" /bin/sh /tmp/deb_check_inside.sh "/tmp/$(basename "$deb")" || status=$?
for shot in "$root"/tmp/screen-*.xwd; do
    [ -f "$shot" ] || continue
    png=$work/$(basename "$shot" .xwd).png
    convert "xwd:$shot" "$png" && echo "screenshot: $png"
done
if [ "$status" -eq 0 ]; then echo "deb_check: PASS"; else echo "deb_check: FAIL"; fi
exit "$status"
