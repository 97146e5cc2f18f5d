# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034  # $records, $status, $prompt, $greeting are for the caller
# What every end-to-end script needs around the real program: a private X server, a home of its
# own, optionally a private session and accessibility bus, the game started in this shell, its
# windows waited for, its boxes answered, and everything stopped again on the way out.
# Sourced by a script that has set -euo pipefail and $zanfiro; not a test of its own.
# Settings read: $failure_shot (a screenshot path written when a check fails), $greeting_shot
# (a screenshot of the greeting box), $screen (the X screen's size, 1280x1024 unless set).

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

visible_windows() { xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null || true; }

# Waits (up to $tenths tenths of a second) for a shown window of the game other than those
# given; prints its id.
wait_new_window() {
    local id
    for _ in $(seq "${tenths:-150}"); do
        for id in $(visible_windows); do
            [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
        done
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

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

# Focuses a box and answers it with a key (Return unless told).
answer_box() {
    xdotool windowfocus --sync "$1"
    xdotool key "${2:-Return}"
}

# A client's close box without a window manager: the same message the manager would send.
close_box() {
    python3 - "$1" <<'EOF'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
display = x.XOpenDisplay(None)
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33
event.xclient.window = window
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x.XFlush(display)
EOF
}
