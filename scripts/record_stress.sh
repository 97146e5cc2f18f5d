#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Eight copies of the real program share one record folder and end their games at the same
# moment: each plays a different number of hits, opens its goodbye box, and all eight boxes are
# closed by one burst of close messages (sent together, flushed once: well within 5 ms). Every
# round must end with the highest score and one of its own holders' names in the record files,
# every copy with status 0, and the log with exactly one whole line for each game.
# Not a CI test: a round takes about a minute and a half.
#
# Usage: scripts/record_stress.sh [--rounds N] [--slow-flush] [--copies C] path/to/zanfiro
#   --rounds N      rounds to play (50)
#   --copies C      copies per round (8)
#   --slow-flush    every fsync/fdatasync of every copy takes 50 ms longer (strace fault injection)
# Exit status: 0 when every round passed, 1 on the first failure (its round's folder is kept).
set -euo pipefail
export LC_ALL=C.UTF-8

rounds=50 copies=8 slow=
while [[ $# -gt 1 ]]; do
    case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --copies) copies=$2; shift 2 ;;
    --slow-flush) slow=1; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
zanfiro=$(readlink -f "${1:?usage: record_stress.sh [--rounds N] [--slow-flush] path/to/zanfiro}")
e2e=$(dirname "$(readlink -f "$0")")/../tests/e2e
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/lib/session.sh
source "$e2e/lib/session.sh"

declare -a launchers=() pids=() names=() scores=() mains=()
stress_cleanup() {
    local pid
    for pid in "${pids[@]}" "${launchers[@]}"; do kill "$pid" 2>/dev/null || true; done
    session_cleanup
}
trap stress_cleanup EXIT

see() { /usr/bin/python3 "$e2e/atspi_targets.py" "$1" "$2" "${@:3}"; }

# Starts copy $1 on the round's folder, answers its name prompt and greeting.
start_copy() {
    local i=$1 launcher
    names[i]="R${round}C${i}"
    if [[ -n $slow ]]; then
        strace -f -qq -o /dev/null -e trace=fsync,fdatasync -e inject=fsync,fdatasync:delay_exit=50000 \
            "$zanfiro" --record-dir "$folder" >"$work/copy$i.log" 2>&1 &
        launcher=$!
        launchers[i]=$launcher
        for _ in $(seq 50); do pids[i]=$(pgrep -P "$launcher" | head -n1 || true); [[ -n ${pids[i]} ]] && break; sleep 0.1; done
    else
        "$zanfiro" --record-dir "$folder" >"$work/copy$i.log" 2>&1 &
        pids[i]=$!
        launchers[i]=$!
    fi
    local prompt greeting
    prompt=$(new_window_of "${pids[i]}") || fail "copy $i: no name prompt"
    xdotool windowfocus --sync "$prompt" type --delay 10 "${names[i]}"
    xdotool key Return
    greeting=$(new_window_of "${pids[i]}" "$prompt") || fail "copy $i: no greeting"
    xdotool windowfocus --sync "$greeting" key Return
    mains[i]=$(new_window_of "${pids[i]}" "$prompt" "$greeting") || fail "copy $i: no window"
}

# Copy $1 plays $2 hits; a shuffle tick that turns a click into a miss costs its points, and the
# score the copy ends with is read back from its window.
play_copy() {
    local i=$1 hits=$2 said box
    xdotool windowraise "${mains[i]}" windowfocus --sync "${mains[i]}"
    xdotool mousemove --window "${mains[i]}" 300 420 click 1
    for _ in $(seq "$hits"); do
        said=$(see hit "${pids[i]}") || fail "copy $i could not play: $said"
        if [[ $said == *"box: "* ]]; then
            box=$(new_window_of "${pids[i]}" "${mains[i]}") || fail "copy $i: no warning box"
            xdotool windowfocus --sync "$box" key Return
        fi
    done
    scores[i]=$(see labels "${pids[i]}" | sed -n 's/^score: *//p')
}

# Sends a close message to every window given, then flushes once: the boxes close together.
close_together() {
    # At a real-time priority where the system allows it, so that no other process comes between
    # the sends on a busy machine.
    local -a fast=()
    chrt -f 10 true 2>/dev/null && fast=(chrt -f 10)
    "${fast[@]}" /usr/bin/python3 "$e2e/lib/close_boxes.py" --timed "$@"
}

check_round() {
    local best=-100000 i score file_score file_name holders=" " lines line
    for i in "${!names[@]}"; do
        score=${scores[i]// /}
        (( score > best )) && best=$score
    done
    for i in "${!names[@]}"; do [[ ${scores[i]// /} == "$best" ]] && holders+="${names[i]} "; done
    file_score=$(tr -d ' \r\n' <"$folder/azanfiro.txt")
    file_name=$(tr -d '\r\n' <"$folder/zanfiro.txt")
    if (( best > 0 )); then
        [[ $file_score == "$best" ]] || fail "round $round: record $file_score, best score $best (scores ${scores[*]})"
        [[ $holders == *" $file_name "* ]] || fail "round $round: record held by '$file_name', not by one of$holders"
    else
        [[ -z $file_score$file_name ]] || fail "round $round: a record of $file_score with no score above 0"
    fi
    lines=$(tail -n +2 "$folder/partite.csv")
    [[ $(grep -c . <<<"$lines") == "${#names[@]}" ]] || fail "round $round: $(grep -c . <<<"$lines") log lines"
    for i in "${!names[@]}"; do
        line=$(grep -c "^[0-9-]* [0-9:]*;[0-9-]* [0-9:]*;${names[i]};-\?[0-9]*;[0-9]*;[0-9]*;uscita;\(sì\|no\)"$'\r'"\$" <<<"$lines" || true)
        [[ $line == 1 ]] || fail "round $round: copy ${names[i]} has $line whole log lines"
    done
    ls "$folder" | grep -qv '^\(azanfiro.txt\|zanfiro.txt\|partite.csv\)$' && fail "round $round: leftovers $(ls "$folder")"
    echo "round $round: scores ${scores[*]}, record $file_score by $file_name, boxes closed within $span ($late closed again)"
}

start_x
private_home
start_accessibility_bus
for round in $(seq "$rounds"); do
    folder=$work/round$round
    mkdir -p "$folder"
    pids=() launchers=() names=() scores=() mains=()
    for i in $(seq 0 $((copies - 1))); do start_copy "$i"; done
    # Each copy a different number of hits, in a different order every round.
    order=$(seq 0 $((copies - 1)) | shuf)
    hits=0
    for i in $order; do play_copy "$i" "$hits"; hits=$((hits + 1)); done
    boxes=()
    for i in "${!names[@]}"; do
        xdotool windowraise "${mains[i]}" windowfocus --sync "${mains[i]}" key alt+x
        boxes[i]=$(new_window_of "${pids[i]}" "${mains[i]}") || fail "copy $i: no goodbye box"
    done
    span=$(close_together "${boxes[@]}")
    # Then the congratulations as they show, until every copy has ended. A goodbye box still up
    # after its first close message (an X client may drop one that comes as the box is mapped,
    # which a slowed copy shows) is closed again and counted.
    late=0
    for _ in $(seq 60); do
        sleep 1
        alive=0
        for i in "${!names[@]}"; do
            kill -0 "${pids[i]}" 2>/dev/null || continue
            alive=1
            for id in $(windows_of "${pids[i]}"); do
                [[ $id == "${mains[i]}" ]] && continue
                [[ $id == "${boxes[i]}" ]] && late=$((late + 1))
                close_together "$id" >/dev/null
            done
        done
        ((alive)) || break
    done
    for i in "${!names[@]}"; do
        status=0
        wait "${launchers[i]}" || status=$?
        [[ $status == 0 ]] || fail "round $round: copy $i ended with status $status: $(cat "$work/copy$i.log")"
    done
    check_round
done
echo "all $rounds rounds passed"
