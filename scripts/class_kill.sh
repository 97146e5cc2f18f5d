#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A copy that dies or stops holding the class folder's lock must never lock the other pupils out.
# Two real accounts on a class folder set up as the README says (see tests/e2e/lib/class_folder.sh):
# 1. Pupil 1's game is killed (SIGKILL) at its N-th system call on the lock, the record files or
#    the log, for N = 1, 2, ... until a run meets no N-th call. After each, pupil 2 plays a higher
#    score: it must end with its record stored, within the stated bound (3 s for an empty lock),
#    and the pair must be whole.
# 2. Pupil 1 is stopped (SIGSTOP) holding the lock, every flush slowed to 300 ms: pupil 2 must get
#    the box naming the lock within the 10 s bound, never hang; after 60 s pupil 1 goes on and
#    ends normally, and pupil 2 then stores its record. With pupil 1 slowed but not stopped,
#    pupil 2 waits its turn and both records are weighed.
# 3. A FIFO, a link and a folder planted at the lock's place: the box naming the lock, at once.
# Needs root and strace. Not a CI test: it takes a few minutes.
# Usage: scripts/class_kill.sh [build]        (a test build, with tools/record_race)
set -euo pipefail
export LC_ALL=C.UTF-8
build=$(readlink -f "${1:-build}")
race=$build/tools/record_race
[[ $(id -u) == 0 && -x $race ]] || { echo "usage: as root, scripts/class_kill.sh [a test build]" >&2; exit 2; }
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/lib/class_folder.sh
source "$(dirname "$(readlink -f "$0")")/../tests/e2e/lib/class_folder.sh"
make_class

now_ms() { date +%s%3N; }
pair() { printf '%s|%s' "$(tr -d '\r\n' <"$folder/azanfiro.txt")" "$(tr -d '\r\n' <"$folder/zanfiro.txt")"; }
fresh() {
    rm -rf "${folder:?}"/* "$folder"/.[!.]* 2>/dev/null || true
    game_of 1 Old 5 || fail "a clean game failed: $(cat "$work/game.log")"
}
watched=(-P "$folder/zanfiro.lock" -P "$folder/azanfiro.txt" -P "$folder/zanfiro.txt" -P "$folder/partite.csv"
    -P "$folder/zanfiro.commit")

# Pupil 2 plays 40 and must store it within $1 ms; prints how long it took.
second_stores() {
    local bound=$1 start status=0 took
    start=$(now_ms)
    game_of 2 Bruno 40 || status=$?
    took=$(($(now_ms) - start))
    ((status == 0)) || fail "pupil 2 ended with $status after ${took} ms: $(cat "$work/game.log")"
    [[ $(pair) == " 40|Bruno" ]] || fail "pupil 2's record is not in: $(pair)"
    ((took <= bound)) || fail "pupil 2 waited ${took} ms, past the bound of ${bound} ms"
    echo "$took"
}

echo "1. pupil 1 killed at each call"
killed=0 slowest=0
for call in openat newfstatat fchmod fchown write pread64 read close ftruncate utimensat unlink; do
    for ((n = 1; ; n++)); do
        fresh
        status=0
        as_pupil 1 strace -f -qq -o /dev/null "${watched[@]}" -e inject=$call:signal=SIGKILL:when=$n \
            "$race" Anna 30 0 >"$work/game.log" 2>&1 || status=$?
        if ((status == 0)); then break; fi
        killed=$((killed + 1))
        [[ $(pair) == " 5|Old" || $(pair) == " 30|Anna" ]] || fail "a mixed pair after a kill at $call $n: $(pair)"
        took=$(second_stores 4500)
        ((took > slowest)) && slowest=$took
    done
done
echo "   killed at $killed calls; pupil 2 always stored its record, the longest wait ${slowest} ms"

echo "2. pupil 1 stopped holding the lock, flushes slowed to 300 ms"
slow=(strace -f -qq -o /dev/null -e trace=fsync,fdatasync -e inject=fsync,fdatasync:delay_exit=300000)
fresh
as_pupil 1 "${slow[@]}" "$race" Anna 30 "$(($(now_ms) + 1500))" >"$work/first.log" 2>&1 &
first=$!
# Stopped while it stages its record, the lock in its hands.
for _ in $(seq 1000); do compgen -G "$folder/*.new.*" >/dev/null && break; sleep 0.01; done
pkill -STOP -u "${pupils[0]}" record_race || fail "pupil 1 was not there to stop"
start=$(now_ms) status=0
game_of 2 Bruno 40 || status=$?
took=$(($(now_ms) - start))
grep -q "zanfiro.lock" "$work/game.log" || fail "pupil 2's box does not name the lock: $(cat "$work/game.log")"
((status == 1 && took <= 13000)) || fail "pupil 2 ended with $status after ${took} ms"
echo "   pupil 2 got the box naming the lock after ${took} ms: $(tr '\n' ' ' <"$work/game.log")"
sleep $((60 - took / 1000))
pkill -CONT -u "${pupils[0]}" record_race
wait "$first" || fail "pupil 1 did not end normally after it went on: $(cat "$work/first.log")"
[[ $(pair) == " 30|Anna" ]] || fail "pupil 1's record is not whole: $(pair)"
took=$(second_stores 15000)
echo "   pupil 1 went on after 60 s and stored its record; then pupil 2 stored its own in ${took} ms"
fresh
as_pupil 1 "${slow[@]}" "$race" Anna 30 0 >"$work/first.log" 2>&1 &
first=$!
sleep 0.3
took=$(second_stores 20000)
wait "$first" || fail "slowed pupil 1 failed: $(cat "$work/first.log")"
[[ $(pair) == " 40|Bruno" ]] || fail "after both slowed games: $(pair)"
echo "   slowed but alive: pupil 2 waited its turn (${took} ms) and the best stands"

echo "3. not a lock at the lock's place"
for plant in fifo link folder; do
    fresh
    case $plant in
    fifo) mkfifo "$folder/zanfiro.lock" ;;
    link) ln -s /nonexistent "$folder/zanfiro.lock" ;;
    folder) mkdir "$folder/zanfiro.lock" ;;
    esac
    start=$(now_ms) status=0
    timeout 20 bash -c "$(declare -f as_pupil game_of); $(declare -p work pupils race); game_of 2 Bruno 40" || status=$?
    took=$(($(now_ms) - start))
    ((status == 1 && took < 3000)) || fail "a $plant at the lock: status $status after ${took} ms"
    grep -q "zanfiro.lock" "$work/game.log" || fail "a $plant at the lock: the box does not name it"
    echo "   a $plant: the box naming the lock after ${took} ms"
    rm -rf "$folder/zanfiro.lock"
done
echo "PASS"
