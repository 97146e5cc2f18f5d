#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays one real-time game under Xvfb and reports how long the countdown took: from the moment
# the greeting is closed (the clock starts then) to the moment the goodbye box appears, which is
# the 301st tick. Nobody clicks in between, so the shuffle stays off and nothing else opens a box.
# Not a CI test: it takes five minutes. Aim: 301 s within 0.3 s.
# Usage: scripts/time_game.sh [path/to/zanfiro]
set -u
cd "$(dirname "$0")/.."
program=${1:-build-record/zanfiro}
[ -x "$program" ] || { echo "no program at $program" >&2; exit 2; }
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

scratch=$(mktemp -d)
chmod 700 "$scratch"
xvfb_pid=
game_pid=
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT INT TERM

display=97
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -noreset -screen 0 1280x1024x24 >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
tries=0
until xdotool getdisplaygeometry >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done

# A record folder of its own, so the pupil's real record is never touched.
XDG_DATA_HOME=$scratch/data XDG_RUNTIME_DIR=$scratch "$program" >"$scratch/game.log" 2>&1 &
game_pid=$!

now() { date +%s.%N; }
visible() { xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | sort; }
# Waits until a visible window of the game appears that is not among the given ones; prints it.
new_window() {
    known=$1
    limit=$2
    while :; do
        for window in $(visible); do
            echo "$known" | grep -qx "$window" || { echo "$window"; return 0; }
        done
        kill -0 "$game_pid" 2>/dev/null || { echo "the game ended early" >&2; return 1; }
        [ "$(date +%s)" -lt "$limit" ] || { echo "no new window in time" >&2; return 1; }
        sleep 0.005
    done
}

prompt=$(new_window "" $(($(date +%s) + 30))) || exit 1
xdotool windowfocus --sync "$prompt"
xdotool type --delay 20 Anna
xdotool key Return
greeting=$(new_window "$prompt" $(($(date +%s) + 30))) || exit 1
xdotool windowfocus --sync "$greeting"
xdotool key Return
start=$(now)

sleep 2
shown=$(visible)
# Polling costs processes; keep the machine quiet until the last seconds.
sleep 295
goodbye=$(new_window "$shown" $(($(date +%s) + 60))) || exit 1
end=$(now)

xdotool windowfocus --sync "$goodbye"
xdotool key Return
wait "$game_pid"
status=$?
game_pid=

awk -v a="$start" -v b="$end" 'BEGIN { d = b - a; printf "301 ticks took %.3f s (%+.3f s against 301 s)\n", d, d - 301 }'
echo "the game ended with status $status"
