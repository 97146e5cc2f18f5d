#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Faults at every step of storing a record, on the real program under strace: a game ended by Exit
# before play over a stored best of -5 stores "0" for New, and the N-th call of rename, unlink,
# fsync or fdatasync (each counted on its own, as strace counts them) is killed (SIGKILL) or fails
# (EIO, ENOSPC), for N = 1, 2, ... until the run meets no N-th call. After each, the next start (itself faulted at each step, when a commit was
# left half done) and then a clean one must find the whole old pair (-5, Old) or the whole new one
# (0, New), and nothing else but the log beside them; a copy that said it stored the record must
# have stored it, and a copy that was not killed ends with status 0 or, after its error box, 1.
# Not a CI test: it takes a few minutes.
#
# Usage: scripts/record_kill.sh path/to/zanfiro
#   KILL_FAULTS="error=EIO" limits the run to the faults listed.
set -euo pipefail
export LC_ALL=C.UTF-8

zanfiro=$(readlink -f "${1:?usage: record_kill.sh path/to/zanfiro}")
e2e=$(dirname "$(readlink -f "$0")")/../tests/e2e
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/lib/session.sh
source "$e2e/lib/session.sh"

calls=rename,renameat,renameat2,unlink,unlinkat,fsync,fdatasync
folder=$work/records
tracer=

kill_cleanup() {
    [[ -z $tracer ]] || kill "$tracer" 2>/dev/null || true
    session_cleanup
}
trap kill_cleanup EXIT

# A copy that shows no new window within 10 s is taken as stuck.
tenths=100

# The game's window, as opposed to a box: it alone is 608 pixels wide.
is_main() {
    local width
    width=$(xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    [[ -n $width ]] && ((width >= 600))
}

# Types the text given (if any) into window $2 of copy $1 and presses Return, again until the
# window goes: without a window manager a focus can be lost to a window just mapped.
answer() {
    local pid=$1 window=$2 text=${3:-}
    for _ in 1 2 3 4 5; do
        xdotool windowfocus --sync "$window" 2>/dev/null || true
        [[ -z $text ]] || xdotool type --delay 5 "$text" 2>/dev/null || true
        xdotool key Return 2>/dev/null || true
        for _ in $(seq 20); do
            [[ " $(windows_of "$pid" | tr '\n' ' ') " == *" $window "* ]] || return 0
            kill -0 "$pid" 2>/dev/null || return 0
            sleep 0.1
        done
        text= # a name typed once stays typed
    done
    return 1
}

# One game under strace with the fault given (or none); ends by Exit ($1 = exit) or by the close
# box ($1 = close). Sets $status, $boxes (boxes after the goodbye) and $injected.
game() {
    local how=$1 inject=${2:-} pid prompt greeting main= box
    local -a trace=(strace -f -q -o "$work/strace.log" -e trace="$calls")
    [[ -z $inject ]] || trace+=(-e "inject=$calls:$inject")
    "${trace[@]}" "$zanfiro" --record-dir "$folder" >"$work/game.log" 2>&1 &
    tracer=$!
    for _ in $(seq 50); do pid=$(pgrep -P "$tracer" | head -n1 || true); [[ -n $pid ]] && break; sleep 0.1; done
    boxes=0
    if prompt=$(new_window_of "$pid") && answer "$pid" "$prompt" New && greeting=$(new_window_of "$pid" "$prompt") \
        && answer "$pid" "$greeting" && main=$(new_window_of "$pid" "$prompt" "$greeting") && is_main "$main"; then
        if [[ $how == exit ]]; then
            xdotool windowfocus --sync "$main" key alt+x || true
            if box=$(new_window_of "$pid" "$main") && answer "$pid" "$box"; then
                # Past the lock's five-second wait an error box may still come.
                while box=$(tenths=70 new_window_of "$pid" "$main" "$box"); do
                    boxes=$((boxes + 1))
                    answer "$pid" "$box" || true
                done
            fi
        else
            close_box "$main"
        fi
    fi
    # Whatever is still up (an error box at start-up) is answered, then the game must end.
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        for box in $(windows_of "$pid"); do
            is_main "$box" || xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
        done
        sleep 0.2
    done
    status=0
    wait "$tracer" || status=$?
    tracer=
    injected=$(grep -c 'INJECTED\|killed by SIGKILL' "$work/strace.log" || true)
}

pair() { printf '%s|%s' "$(tr -d '\r\n' <"$folder/azanfiro.txt")" "$(tr -d '\r\n' <"$folder/zanfiro.txt")"; }

# The folder as the next clean start leaves it: a whole pair and nothing but the log beside it.
check_whole() {
    local what=$1 expect_new=$2
    game close
    [[ $status == 0 ]] || fail "$what: the clean start after it ended with status $status"
    case $(pair) in
    "-5|Old") [[ $expect_new == 0 ]] || fail "$what: it said the record was stored, and the old pair is back" ;;
    "0|New") ;;
    *) fail "$what: a mixed or broken pair: $(pair)" ;;
    esac
    local others
    # QLockFile renames a dead copy's lock to zanfiro.lock.rmlock before removing it; killed in
    # between, that name stays, harmless, until the next stale lock's rename replaces it.
    others=$(ls -A "$folder" | grep -v '^\(azanfiro.txt\|zanfiro.txt\|partite.csv\|zanfiro.lock.rmlock\)$' || true)
    [[ -z $others ]] || fail "$what: left behind: $others"
}

seed() {
    rm -rf "$folder"
    mkdir -p "$folder"
    printf -- '-5\r\n' >"$folder/azanfiro.txt"
    printf 'Old\r\n' >"$folder/zanfiro.txt"
}

start_x
private_home
runs=0
for fault in ${KILL_FAULTS:-signal=SIGKILL error=EIO error=ENOSPC}; do
    for n in $(seq 1 200); do
        seed
        game exit "$fault:when=$n"
        first_status=$status
        [[ $injected == 0 ]] && { echo "$fault: no call number $n; $((n - 1)) steps faulted"; break; }
        what="$fault at call $n"
        said_stored=0
        case $fault:$status in
        signal=SIGKILL:137 | signal=SIGKILL:9) ;;
        error=*:0) [[ $boxes -gt 0 ]] && said_stored=1 ;;
        error=*:1) ;;
        *) fail "$what: status $status" ;;
        esac
        # A commit left half done: its recovery at the next start is faulted at each step too.
        if [[ -e $folder/zanfiro.commit ]]; then
            cp -a "$folder" "$work/half"
            for m in $(seq 1 50); do
                rm -rf "$folder" && cp -a "$work/half" "$folder"
                game close "$fault:when=$m"
                [[ $injected == 0 ]] && break
                [[ $status == 0 || $status == 1 || $status == 137 ]] || fail "$what, recovery $fault at $m: status $status"
                check_whole "$what, recovery $fault at $m" 1
                runs=$((runs + 1))
            done
            rm -rf "$folder" && cp -a "$work/half" "$folder" && rm -rf "$work/half"
            said_stored=1 # a marker means the commit point was passed: the new pair must come
        fi
        check_whole "$what" "$said_stored"
        runs=$((runs + 1))
        echo "$what: status $first_status, then $(pair)"
    done
done
echo "all $runs faulted runs left a whole pair"
