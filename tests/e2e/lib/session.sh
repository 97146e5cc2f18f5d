# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034  # $records, $status, $prompt, $greeting are for the caller
# What every end-to-end script needs around the real program: a private X server, a home of its
# own, optionally a private session and accessibility bus, the game started in this shell, its
# windows waited for, its boxes answered, and everything stopped again on the way out.
# Sourced by a script that has set -euo pipefail and $zanfiro; not a test of its own.
# Settings read: $failure_shot (a screenshot path written when a check fails), $greeting_shot
# (a screenshot of the greeting box), $screen (the X screen's size, 1280x1024 unless set).

session_lib=$(dirname "${BASH_SOURCE[0]}")
work=$(mktemp -d)
xvfb_pid=
bus_pid=
launcher_pid=
game_pid=

session_cleanup() {
    local pid
    for pid in "$game_pid" "$launcher_pid" "$bus_pid" "$xvfb_pid"; do
        if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; fi
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap session_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [[ -n ${failure_shot:-} && -n ${DISPLAY:-} ]]; then
        import -window root "$failure_shot" 2>/dev/null || true
    fi
    exit 1
}

# The server picks a display nobody uses and names it once it accepts connections, so two
# scripts started at once never race for the same number.
start_x() {
    Xvfb -displayfd 3 -screen 0 "${screen:-1280x1024}x24" -dpi 96 -nolisten tcp -noreset \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $work/display ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [[ -s $work/display ]] || fail "no X server: $(cat "$work/xvfb.log")"
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
}

# A home, a data folder and a runtime folder of our own; the records live in $records.
private_home() {
    export HOME=$work/home XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    records=$XDG_DATA_HOME/zanfiro
}

# A session bus of our own (not forked, so that this shell collects it), and on it the
# accessibility bus, up before the game asks for it.
start_accessibility_bus() {
    local launcher=/usr/libexec/at-spi-bus-launcher missing=
    [[ -x $launcher && -x /usr/libexec/at-spi2-registryd ]] || missing=at-spi2-core
    command -v dbus-daemon >/dev/null || missing="$missing dbus-daemon"
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing="$missing python3-pyatspi"
    [[ -z $missing ]] || fail "missing packages: ${missing# } (scripts/install-deps.sh --test installs them)"

    dbus-daemon --session --nofork --nosyslog --print-address=3 3>"$work/bus.address" 2>"$work/bus.log" &
    bus_pid=$!
    for _ in $(seq 50); do [[ -s $work/bus.address ]] && break; sleep 0.1; done
    [[ -s $work/bus.address ]] || fail "no session bus: $(cat "$work/bus.log")"
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus.address")
    export DBUS_SESSION_BUS_ADDRESS
    unset AT_SPI_BUS_ADDRESS
    "$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
    launcher_pid=$!
    for _ in $(seq 50); do a11y_bus_up && break; sleep 0.1; done
    a11y_bus_up || fail "no accessibility bus: $(cat "$work/launcher.log")"
    # Without a desktop that asks for it, Qt would leave the bridge off.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

a11y_bus_up() {
    # Asking the owner, not the bus itself, which would start a second launcher.
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}

# Starts the game in this shell (call it directly, not in $(...)) with the options after NAME;
# its output goes to $work/NAME.log.
start_game() {
    "${zanfiro:?}" "${@:2}" >"$work/$1.log" 2>&1 &
    game_pid=$!
}

windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null || true; }
visible_windows() { windows_of "$game_pid"; }

# Waits (up to $tenths tenths of a second) for a shown window of process $1 other than the
# windows given after it; prints its id.
new_window_of() {
    local pid=$1 id
    shift
    for _ in $(seq "${tenths:-150}"); do
        for id in $(windows_of "$pid"); do
            [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
        done
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# The same for the game started by start_game.
wait_new_window() { new_window_of "$game_pid" "$@"; }

# Waits for the game to end and puts its exit status in $status (run it in this shell: only
# the shell that started the game can collect its status).
wait_end() {
    for _ in $(seq 100); do
        if ! kill -0 "$game_pid" 2>/dev/null; then
            status=0
            wait "$game_pid" || status=$?
            game_pid=
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Types the pupil's name into the prompt and closes the greeting; leaves their ids in $prompt
# and $greeting.
answer_prompt() {
    prompt=$(wait_new_window) || fail "no name prompt"
    xdotool windowfocus --sync "$prompt"
    xdotool type --delay 20 "$1"
    xdotool key Return
    greeting=$(wait_new_window "$prompt") || fail "no greeting"
    xdotool windowfocus --sync "$greeting"
    [[ -z ${greeting_shot:-} ]] || import -window root "$greeting_shot"
    xdotool key Return
}

# Leaves with Alt+X from the window $main after a new record: the goodbye and the congratulation
# answered, and the game ended with status 0.
leave_with_a_record() {
    local goodbye congratulation
    xdotool windowfocus --sync "$main"
    xdotool key alt+x
    goodbye=$(wait_new_window "$main") || fail "no goodbye after Alt+X"
    answer_box "$goodbye"
    congratulation=$(wait_new_window "$main" "$goodbye") || fail "no congratulation for the new record"
    answer_box "$congratulation"
    wait_end || fail "the game did not end after the congratulation"
    [[ $status == 0 ]] || fail "exit status $status after the exit flow"
}

# Focuses a box and answers it with a key (Return unless told).
answer_box() {
    xdotool windowfocus --sync "$1"
    xdotool key "${2:-Return}"
}

# A client's close box without a window manager: the same message the manager would send.
close_box() { python3 "$session_lib/close_boxes.py" "$1"; }
