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
# shellcheck source-path=SCRIPTDIR source=lib/session.sh
source "$here/lib/session.sh"

start_x
private_home
mkdir -p "$records"
printf ' 25\r\n' >"$records/azanfiro.txt"
printf 'Zeno\r\n' >"$records/zanfiro.txt"
start_accessibility_bus

start_game game
answer_prompt Anna
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
