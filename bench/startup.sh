#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up cost of the game against a bare Qt window of the same size: time from launch to the
# first window on the X server (the game's name prompt, the bare window itself), and resident
# memory once the game's window is up. Medians of several runs, after one warm-up run each.
# Then the CPU each uses while idle: the bare window, and the game in play (a click on the
# background starts it, with its laser sound), over IDLE_SECONDS (30; 0 skips it).
# With pulseaudio installed, both run beside a private sound server whose only output is a null
# sink, so the game's figures include its sound thread and its connection to the server.
# Usage: bench/startup.sh path/to/zanfiro [runs]
set -euo pipefail

zanfiro=$(readlink -f "$1")
runs=${2:-10}
here=$(dirname "$(readlink -f "$0")")
# The helpers of a build with ZANFIRO_BENCH on, or built here on their own.
helpers=${ZANFIRO_STARTUP_HELPERS:-$(dirname "$zanfiro")/bench/startup}
[[ -x $helpers/launch_to_map ]] || helpers=$(dirname "$zanfiro")/bench-startup
if [[ ! -x $helpers/launch_to_map || ! -x $helpers/bare_window ]]; then
    cmake -S "$here/startup" -B "$helpers" >/dev/null
    cmake --build "$helpers" >/dev/null
fi
work=$(mktemp -d)
idle_seconds=${IDLE_SECONDS:-30}
xvfb_pid=
app_pid=
pulse_pid=

cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    [[ -n $pulse_pid ]] && kill "$pulse_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

for n in $(seq 121 170); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break 2; sleep 0.1; done
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
done
[[ -n $xvfb_pid ]] || { echo "no X server" >&2; exit 1; }
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

sound="no sound server"
if command -v pulseaudio >/dev/null; then
    pulseaudio --daemonize=no --exit-idle-time=-1 --use-pid-file=no -n --log-level=error \
        --load="module-null-sink sink_name=zanfiro_bench" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse" &
    pulse_pid=$!
    for _ in $(seq 100); do [[ -S $work/pulse ]] && break; sleep 0.05; done
    export PULSE_SERVER=unix:$work/pulse
    sound="a private sound server (null sink)"
fi

rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }

stop_app() {
    kill "$app_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
    app_pid=
}

# A shown window of the app at least this wide; prints its id.
wait_window_wider_than() {
    local id
    for _ in $(seq 100); do
        for id in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true); do
            (($(xwininfo -id "$id" | awk '/Width:/ {print $2}') > $1)) && { echo "$id"; return 0; }
        done
        sleep 0.05
    done
    return 1
}

# One run of each; appends "ms rss" to the two result files.
measure_bare() {
    local ms
    read -r app_pid ms < <("$helpers/launch_to_map" "$helpers/bare_window")
    wait_window_wider_than 600 >/dev/null
    sleep 1
    echo "$ms $(rss_kib "$app_pid")" >>"$work/bare"
    stop_app
}

# Launches the game on a record folder of its own and answers its name prompt and greeting;
# leaves the launch time in $launch_ms and the game's window in $game_window.
launch_game_past_greeting() {
    local id
    export XDG_DATA_HOME=$work/data-$RANDOM
    read -r app_pid launch_ms < <("$helpers/launch_to_map" "$zanfiro")
    id=$(wait_window_wider_than 0)
    xdotool windowfocus --sync "$id" type "Anna"
    xdotool key Return
    sleep 0.3
    id=$(wait_window_wider_than 0)
    xdotool windowfocus --sync "$id" key Return
    game_window=$(wait_window_wider_than 600)
}

measure_game() {
    launch_game_past_greeting
    sleep 1
    echo "$launch_ms $(rss_kib "$app_pid")" >>"$work/game"
    stop_app
}

# Seconds the app has run on a CPU, all its threads (or only the one named $2), from the
# scheduler's nanosecond counts: the clock ticks of /proc/PID/stat are too coarse for an idle app.
cpu_seconds() {
    local task ns=0
    for task in /proc/"$1"/task/*; do
        [[ -z ${2:-} || $(cat "$task/comm" 2>/dev/null) == "$2" ]] || continue
        ns=$((ns + $(cut -d' ' -f1 "$task/schedstat" 2>/dev/null || echo 0)))
    done
    echo "$ns / 1000000000" | bc -l
}

# Per cent of one core the app uses over idle_seconds, after two seconds to settle, then the
# share of it that its thread named $1 used (0 without one), one figure a line.
idle_cpu() {
    local before thread_before
    sleep 2
    before=$(cpu_seconds "$app_pid")
    thread_before=$(cpu_seconds "$app_pid" "${1:-}")
    sleep "$idle_seconds"
    echo "($(cpu_seconds "$app_pid") - $before) * 100 / $idle_seconds" | bc -l
    echo "($(cpu_seconds "$app_pid" "${1:-}") - $thread_before) * 100 / $idle_seconds" | bc -l
}

idle_bare() {
    read -r app_pid _ < <("$helpers/launch_to_map" "$helpers/bare_window")
    wait_window_wider_than 600 >/dev/null
    read -r bare_cpu _ < <(idle_cpu | paste -sd' ')
    stop_app
}

idle_game_in_play() {
    launch_game_past_greeting
    sleep 0.5
    xdotool mousemove --window "$game_window" 300 420 click 1
    read -r game_cpu sound_cpu < <(idle_cpu "zanfiro sound" | paste -sd' ')
    stop_app
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

measure_bare
measure_game
: >"$work/bare"
: >"$work/game"
for _ in $(seq "$runs"); do
    measure_bare
    measure_game
done

bare_ms=$(cut -d' ' -f1 "$work/bare" | median)
game_ms=$(cut -d' ' -f1 "$work/game" | median)
bare_kib=$(cut -d' ' -f2 "$work/bare" | median)
game_kib=$(cut -d' ' -f2 "$work/game" | median)
printf 'runs: %d (medians), with %s\n' "$runs" "$sound"
printf 'launch to first window: bare %.1f ms, game (name prompt) %.1f ms, difference %+.1f ms\n' \
    "$bare_ms" "$game_ms" "$(echo "$game_ms - $bare_ms" | bc -l)"
printf 'resident memory, window up: bare %.1f MiB, game %.1f MiB, difference %+.1f MiB\n' \
    "$(echo "$bare_kib / 1024" | bc -l)" "$(echo "$game_kib / 1024" | bc -l)" \
    "$(echo "($game_kib - $bare_kib) / 1024" | bc -l)"
if ((idle_seconds > 0)); then
    idle_bare
    idle_game_in_play
    printf 'idle CPU over %d s: bare window %.3f %%, game in play %.3f %% (its sound thread %.3f %%) of one core\n' \
        "$idle_seconds" "$bare_cpu" "$game_cpu" "$sound_cpu"
fi
