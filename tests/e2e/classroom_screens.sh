#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window on the screens classrooms have, under a real window manager (openbox): on a
# 1280x720 screen with a 48-pixel panel the whole window opens inside the work area, zoomed
# down; on a 1920x1080 whiteboard --schermo-intero opens it full screen, zoomed by the client's
# height / 672, and a whole game played there (the name, hits, a miss, Exit, the record files
# byte for byte) goes as at the design size; F11 takes a window there to full screen and back.
# Usage: classroom_screens.sh path/to/zanfiro   (screenshots go beside the program, or to
# $ZANFIRO_E2E_OUT)
set -euo pipefail

zanfiro=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
out=${ZANFIRO_E2E_OUT:-$(dirname "$zanfiro")}
failure_shot=$out/e2e-classroom-failure.png
rm -f "$failure_shot"
# shellcheck source-path=SCRIPTDIR source=lib/session.sh
source "$here/lib/session.sh"

command -v openbox >/dev/null || fail "missing package: openbox (scripts/install-deps.sh installs it)"
wm_pid=
panel_pid=
desktop_cleanup() {
    local pid
    for pid in "$panel_pid" "$wm_pid"; do
        if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; fi
    done
    session_cleanup
}
trap desktop_cleanup EXIT

work_area() { xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | awk '{print $1, $2, $3, $4}'; }

# An X server of the given size with a window manager, and a panel of the given height if any.
start_desktop() {
    rm -f "$work/display"
    screen=$1 start_x
    openbox --sm-disable >"$work/wm.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "no window manager: $(cat "$work/wm.log")"
    if [[ -n ${2:-} ]]; then
        python3 "$here/lib/panel.py" "$2" >"$work/panel.log" 2>&1 &
        panel_pid=$!
        local height=${1#*x}
        for _ in $(seq 50); do
            [[ $(work_area) == "0 0 ${1%x*} $((height - $2))" ]] && break
            sleep 0.1
        done
    fi
}

stop_desktop() {
    local pid
    for pid in "$panel_pid" "$wm_pid" "$xvfb_pid"; do
        if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; fi
    done
    wait "$panel_pid" "$wm_pid" "$xvfb_pid" 2>/dev/null || true
    panel_pid=''
    wm_pid=''
    xvfb_pid=''
}

# X Y W H of the client window, and of its frame as the window manager draws it.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
framed() {
    local x y w h left right top bottom
    read -r x y w h < <(geometry "$1")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    echo $((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))
}
# Waits (up to three seconds) until the client window is W H.
wait_size() {
    for _ in $(seq 30); do
        [[ $(geometry "$1" | cut -d' ' -f3,4) == "$2 $3" ]] && return 0
        sleep 0.1
    done
    fail "the window is $(geometry "$1" | cut -d' ' -f3,4), expected $2 $3"
}

see() { /usr/bin/python3 "$here/atspi_targets.py" "$1" "$game_pid" "${@:2}"; }
fact() { sed -n "s/^$1: //p" <<<"$2"; }

# The controls' area is the design's 608 x 672 times the client's height / 672, centred.
zoomed_by_height() {
    local heard cx cy cw ch ax ay aw ah
    heard=$(see area) || fail "the accessibility client could not read the window"
    read -r cx cy cw ch <<<"$(fact client "$heard")"
    read -r ax ay aw ah <<<"$(fact area "$heard")"
    [[ $ah == "$ch" && $ay == "$cy" ]] || fail "controls' area $ah high at $ay in a client $ch high at $cy"
    local width=$(((608 * ch + 336) / 672))
    ((aw >= width - 1 && aw <= width + 1)) || fail "controls' area $aw wide, expected $width"
    local margin=$(((cw - aw) / 2))
    ((ax - cx >= margin - 1 && ax - cx <= margin + 1)) || fail "controls' area not centred: $ax in $cx + $cw"
    echo "zoom $(awk "BEGIN {printf \"%.3f\", $ch / 672}"): a client of ${cw}x$ch, the controls' area ${aw}x$ah"
}

# --- A 1280x720 laptop at 150 % with its taskbar: the window opens inside what is left.
start_desktop 1280x720 48
read -r wx wy ww wh < <(work_area)
[[ "$wx $wy $ww $wh" == "0 0 1280 672" ]] || fail "work area $wx $wy $ww $wh: the panel's strut was not honoured"
private_home
start_game small
answer_prompt Anna
main=$(wait_new_window "$prompt" "$greeting") || fail "no main window"
sleep 1 # the frame, placed by the manager
read -r fx fy fw fh < <(framed "$main")
((fx >= wx && fy >= wy && fx + fw <= wx + ww && fy + fh <= wy + wh)) \
    || fail "the window's frame ${fw}x$fh at $fx,$fy is not inside the work area ${ww}x$wh"
read -r _ _ width height < <(geometry "$main")
((height < 672 + 12)) || fail "the window is ${width}x$height: not zoomed down to fit"
import -window root "$out/e2e-small-screen.png"
close_box "$main"
wait_end || fail "the close box did not end the game"
stop_desktop

# --- A 1920x1080 whiteboard: full screen from the command line, and a whole game played there.
start_desktop 1920x1080
start_accessibility_bus
mkdir -p "$records"
printf -- '-100\r\n' >"$records/azanfiro.txt"
printf 'Zeno\r\n' >"$records/zanfiro.txt"
start_game whiteboard --schermo-intero
answer_prompt Anna
main=$(wait_new_window "$prompt" "$greeting") || fail "no main window"
wait_size "$main" 1920 1080
zoomed_by_height
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 950 700 click 1

# Hits until one scores, misses until one warns; a click the shuffle turned into the other kind
# counts as what it met.
hits=0 misses=0
for _ in $(seq 10); do
    ((hits > 0 && misses > 0)) && break
    said=$(see "$( ((hits == 0)) && echo hit || echo decoy)") || fail "no click came to anything"
    if [[ -n $(fact box "$said") ]]; then
        misses=$((misses + 1))
        answer_box "$(wait_new_window "$main")"
    else
        hits=$((hits + 1))
        ((hits > 1)) || import -window root "$out/e2e-whiteboard.png"
    fi
done
((hits > 0 && misses > 0)) || fail "$hits hits and $misses misses in ten clicks"
sleep 0.3
score=$(fact score "$(see labels)")
leave_with_a_record
cmp -s "$records/azanfiro.txt" <(printf '%s\r\n' "$score") || fail "score file: $(od -An -tx1 "$records/azanfiro.txt")"
cmp -s "$records/zanfiro.txt" <(printf 'Anna\r\n') || fail "name file: $(od -An -tx1 "$records/zanfiro.txt")"

# --- F11 there: the window opens at the design size, then fills the screen and comes back.
start_game f11
answer_prompt Bea
main=$(wait_new_window "$prompt" "$greeting") || fail "no main window"
read -r _ _ width height < <(geometry "$main")
[[ $width == 608 ]] || fail "the window opens ${width}x$height where the design size fits"
xdotool windowfocus --sync "$main"
xdotool key F11
wait_size "$main" 1920 1080
zoomed_by_height
xdotool key F11
wait_size "$main" "$width" "$height"
close_box "$main"
wait_end || fail "the close box did not end the game"

echo "PASS: inside the work area at 1280x720; full screen at 1920x1080 by option and by F11; screenshots in $out"
