#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under a private X server, worked as a pupil would with xdotool: the name, the
# greeting, the window at its size with its backdrop, a click on the background, a click on a
# target, Exit with its goodbye, and the record written; then a second game closed with the
# close box, which ends silently and leaves the record as it was.
# Usage: startup.sh path/to/zanfiro   (screenshots go beside the program, or to $ZANFIRO_E2E_OUT)
set -euo pipefail

zanfiro=$(readlink -f "$1")
out=${ZANFIRO_E2E_OUT:-$(dirname "$zanfiro")}
work=$(mktemp -d)
rm -f "$out/e2e-failure.png"
xvfb_pid=
game_pid=

cleanup() {
    [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -n ${DISPLAY:-} ]] && import -window root "$out/e2e-failure.png" 2>/dev/null || true
    exit 1
}

# A display number nobody uses, and a server that answers on it.
for n in $(seq 71 120); do
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
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
records=$XDG_DATA_HOME/zanfiro

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

geometry() { xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'; }
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

answer_prompt() {
    local prompt greeting
    prompt=$(wait_new_window) || fail "no name prompt"
    xdotool windowfocus --sync "$prompt"
    xdotool type --delay 20 "$1"
    xdotool key Return
    greeting=$(wait_new_window "$prompt") || fail "no greeting"
    xdotool windowfocus --sync "$greeting"
    import -window root "$out/e2e-greeting.png"
    xdotool key Return
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

# --- First game: a record older than any score, so whatever happens this game makes the new one.
mkdir -p "$records"
printf -- '-100\r\n' >"$records/azanfiro.txt"
printf 'Zeno\r\n' >"$records/zanfiro.txt"

"$zanfiro" >"$work/game1.log" 2>&1 &
game_pid=$!
answer_prompt Anna

main=$(wait_new_window) || fail "no main window"
[[ $(xdotool getwindowname "$main") == Zanfiro ]] || fail "window caption: $(xdotool getwindowname "$main")"
read -r width height < <(geometry "$main")
menu=$((height - 672))
[[ $width == 608 && $menu -ge 12 && $menu -le 48 ]] || fail "window is ${width}x${height}, expected 608x672 plus a menu bar"
sleep 0.3
import -window "$main" "$out/e2e-window.png"
# The backdrop's last band is blue 255 at the bottom edge, its first blue 0 below the menu.
[[ $(pixel "$out/e2e-window.png" 300 $((height - 1))) =~ ,255\)$ ]] || fail "no backdrop at the bottom"
[[ $(pixel "$out/e2e-window.png" 300 $((menu + 300))) != "$(pixel "$out/e2e-window.png" 300 $((height - 1)))" ]] \
    || fail "the backdrop has one colour"

xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 300 $((menu + 400)) click 1
# A point well inside a target's face: a cyan pixel with cyan 40 pixels down and right of it. A
# shuffle tick may hide every target it has just shown, so a few ticks are watched.
target=
for _ in $(seq 20); do
    sleep 0.3
    import -window "$main" "$out/e2e-play.png"
    convert "$out/e2e-play.png" -fill black +opaque '#00FFFF' txt:- >"$work/play.txt"
    target=$(awk -F'[,: ]+' '/#00FFFF/ { cyan[$1 "," $2] = 1; order[++n] = $1 "," $2 }
        END { for (i = 1; i <= n; ++i) { split(order[i], p, ","); if (cyan[(p[1] + 40) "," (p[2] + 40)]) {
            print p[1] + 20, p[2] + 20; exit } } }' "$work/play.txt")
    [[ -n $target ]] && break
done
[[ -n $target ]] || fail "no target button came up after the click on the background"

# Whatever the click meets (a good target, a decoy with its warning, or the background again
# after a shuffle) the game goes on.
read -r target_x target_y <<<"$target"
xdotool mousemove --window "$main" "$target_x" "$target_y" click 1
if warning=$(tenths=15 wait_new_window "$main"); then
    xdotool windowfocus --sync "$warning"
    xdotool key Return
fi

xdotool windowfocus --sync "$main"
xdotool key alt+x
goodbye=$(wait_new_window "$main") || fail "no goodbye after Alt+X"
xdotool windowfocus --sync "$goodbye"
xdotool key Return
congratulation=$(wait_new_window "$main" "$goodbye") || fail "no congratulation for the new record"
xdotool windowfocus --sync "$congratulation"
xdotool key Return
wait_end || fail "the game did not end after the congratulation"
[[ $status == 0 ]] || fail "exit status $status after the exit flow"

grep -qaE $'^ ?-?[0-9]+\r$' "$records/azanfiro.txt" || fail "score file: $(od -c "$records/azanfiro.txt")"
[[ $(wc -l <"$records/azanfiro.txt") == 1 ]] || fail "score file has more than one line"
cmp -s "$records/zanfiro.txt" <(printf 'Anna\r\n') || fail "name file: $(od -c "$records/zanfiro.txt")"

# --- Second game: the close box ends it at once, with status 0 and the record untouched.
cp "$records/azanfiro.txt" "$work/score.before"
cp "$records/zanfiro.txt" "$work/name.before"
"$zanfiro" >"$work/game2.log" 2>&1 &
game_pid=$!
answer_prompt Bea
main=$(wait_new_window) || fail "no main window in the second game"
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 300 $((menu + 400)) click 1
sleep 0.2
close_box "$main"
wait_end || fail "the close box did not end the game"
[[ $status == 0 ]] || fail "exit status $status after the close box"
cmp -s "$records/azanfiro.txt" "$work/score.before" || fail "the close box changed the score file"
cmp -s "$records/zanfiro.txt" "$work/name.before" || fail "the close box changed the name file"

echo "PASS: screenshots in $out"
