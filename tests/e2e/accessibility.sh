#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader hears: the real program under a private X server and a private session
# and accessibility bus, a game started as a pupil starts it, and then atspi_read.py reads the
# window through the accessibility bridge: the score, the pupil's name, the record, the clock
# ticking (and announced as it ticks), a number on a target, and a hidden button not showing.
# Usage: accessibility.sh path/to/zanfiro
set -euo pipefail

zanfiro=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
xvfb_pid=
bus_pid=
launcher_pid=
game_pid=

cleanup() {
    [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null || true
    [[ -n $launcher_pid ]] && kill "$launcher_pid" 2>/dev/null || true
    [[ -n $bus_pid ]] && kill "$bus_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

launcher=/usr/libexec/at-spi-bus-launcher
[[ -x $launcher && -x /usr/libexec/at-spi2-registryd ]] || missing=at-spi2-core
command -v dbus-daemon >/dev/null || missing="${missing:-} dbus-daemon"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing="${missing:-} python3-pyatspi"
[[ -z ${missing:-} ]] || fail "missing packages: ${missing# } (scripts/install-deps.sh installs them)"

for n in $(seq 121 170); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break 2; sleep 0.1; done
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
done
[[ -n $xvfb_pid ]] || fail "no X server"

export HOME=$work/home XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_DATA_HOME/zanfiro" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf ' 25\r\n' >"$XDG_DATA_HOME/zanfiro/azanfiro.txt"
printf 'Zeno\r\n' >"$XDG_DATA_HOME/zanfiro/zanfiro.txt"

# A session bus of our own (not forked, so that this shell collects it), and on it the
# accessibility bus, up before the game asks for it.
dbus-daemon --session --nofork --nosyslog --print-address=3 3>"$work/bus.address" 2>"$work/bus.log" &
bus_pid=$!
for _ in $(seq 50); do [[ -s $work/bus.address ]] && break; sleep 0.1; done
[[ -s $work/bus.address ]] || fail "no session bus: $(cat "$work/bus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus.address")
export DBUS_SESSION_BUS_ADDRESS
unset AT_SPI_BUS_ADDRESS
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
launcher_pid=$!
a11y_bus_up() {
    # Asking the owner, not the bus itself, which would start a second launcher.
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}
for _ in $(seq 50); do a11y_bus_up && break; sleep 0.1; done
a11y_bus_up || fail "no accessibility bus: $(cat "$work/launcher.log")"
# Without a desktop that asks for it, Qt would leave the bridge off.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

visible_windows() { xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null || true; }

wait_new_window() {
    local id
    for _ in $(seq 150); do
        for id in $(visible_windows); do
            [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
        done
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

"$zanfiro" >"$work/game.log" 2>&1 &
game_pid=$!
prompt=$(wait_new_window) || fail "no name prompt"
xdotool windowfocus --sync "$prompt"
xdotool type --delay 20 Anna
xdotool key Return
greeting=$(wait_new_window "$prompt") || fail "no greeting"
xdotool windowfocus --sync "$greeting"
xdotool key Return
main=$(wait_new_window "$prompt" "$greeting") || fail "no main window"
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 300 420 click 1

/usr/bin/python3 "$here/atspi_read.py" "$game_pid" | tee "$work/heard.txt" \
    || fail "the accessibility client could not read the window; the game said: $(cat "$work/game.log")"

heard() { sed -n "s/^$1: //p" "$work/heard.txt"; }
[[ $(heard score) == 0 ]] || fail "score reads '$(heard score)', expected 0"
[[ $(heard pupil) == Anna ]] || fail "pupil reads '$(heard pupil)'"
# The record labels show the files as they are, line break included.
[[ $(heard "record name") == 'Zeno\n' ]] || fail "record name reads '$(heard "record name")'"
[[ $(heard "record score") == ' 25\n' ]] || fail "record score reads '$(heard "record score")'"
clock=$(heard clock)
later=$(heard "clock a second later")
[[ $clock =~ ^00:0[0-9]:[0-5][0-9]$ ]] || fail "clock reads '$clock'"
[[ $later =~ ^00:0[0-9]:[0-5][0-9]$ ]] || fail "clock reads '$later' a second later"
[[ $later != "$clock" ]] || fail "the clock read '$clock' twice a second apart"
[[ -n $(heard "clock announcements") ]] || fail "no name change of the clock was announced"
[[ $(heard target) =~ ^-?[0-9]+$ ]] || fail "target reads '$(heard target)'"
[[ $(heard "hidden button") == "Inizio showing=no" ]] || fail "a hidden button is exposed as showing"

echo "PASS: a screen reader reads the score, the names, the record, the clock and the targets"
