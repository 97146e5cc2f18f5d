#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A monkey plays the real program for a long while under a private X server (and a silent private
# sound server when PulseAudio is there): about 20 clicks a second anywhere in the window but the
# Exit button (menu bar, targets, labels, backdrop), every box answered, names with accents, markup
# and emoji. Game 1 runs to the end of its clock; the program then starts again for the others,
# which end by "Nuovo gioco" answered Sì or by Alt+X. It reports crashes, memory, clicks, boxes,
# misses, hits where the stored record tells them, and the record files after every game.
# Not a CI test: the default run takes about 15 minutes.
#
# Usage: scripts/soak.sh [--games N] [--minutes-per-game M] [--quick] [--seed S] [--max-slope KB]
#                        [path/to/zanfiro]
#   --games N             games in the run (3; --quick: 2)
#   --minutes-per-game M  length of the games that end by Exit or a new game (4.75, at most 4.83)
#   --quick               a one-minute smoke run: no game waits for its clock
#   --max-slope KB        memory growth a minute that fails a game of 2 minutes or more (1024)
# The report goes to soak-report.txt beside the program, logs and samples to soak-logs/.
# Exit status: 0 when every check passed, 1 on any failure, 2 on bad usage or a missing tool.
set -uo pipefail
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/.." || exit 2

games= minutes= quick=0 max_slope=1024 seed=$((RANDOM * 32768 + RANDOM)) program=build-soak/zanfiro
while (($#)); do
    case $1 in
    --games) games=$2; shift 2 ;;
    --minutes-per-game) minutes=$2; shift 2 ;;
    --quick) quick=1; shift ;;
    --seed) seed=$2; shift 2 ;;
    --max-slope) max_slope=$2; shift 2 ;;
    -h | --help) sed -n '3,18p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) program=$1; shift ;;
    esac
done
games=${games:-$((quick ? 2 : 3))}
[[ $games =~ ^[1-9][0-9]*$ ]] || { echo "--games wants a number" >&2; exit 2; }
[[ -x $program ]] || { echo "no program at $program" >&2; exit 2; }
for tool in Xvfb xdotool xwininfo xxd python3 import; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done
# The clock ends a game at 301 s: a game ended by hand stops before that.
length=$(awk -v m="${minutes:-0}" -v q="$quick" 'BEGIN {
    s = m > 0 ? int(m * 60) : (q ? 25 : 285); print s < 5 ? 5 : (s > 290 ? 290 : s) }')
RANDOM=$seed

program=$(readlink -f "$program")
out=$(dirname "$program")
report=$out/soak-report.txt logs=$out/soak-logs
rm -rf "$logs" && mkdir -p "$logs" && : >"$report"
scratch=$(mktemp -d)
records=$scratch/data/zanfiro samples=$logs/memory.txt events=$logs/events.txt
mkdir -p "$scratch/home" "$scratch/cwd" "$records" && mkdir -m 700 "$scratch/run" "$scratch/pulse"
mkfifo "$scratch/tick" && exec {tick}<>"$scratch/tick"
xvfb_pid= pulse_pid= pid=
cleanup() {
    for p in $pid $pulse_pid $xvfb_pid; do kill "$p" 2>/dev/null; done
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

say() { printf '%s\n' "$*" | tee -a "$report"; }
failures=()
fail() { failures+=("$*"); say "FAIL: $*"; import -window root "$logs/failure-${#failures[@]}.png" 2>/dev/null; }
stamp() { now=$((${EPOCHREALTIME/./} / 1000)); }
pause() { read -rt "$1" -u "$tick"; }

for n in $(seq 150 199); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -noreset -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >"$logs/xvfb.log" 2>&1 &
    xvfb_pid=$! && export DISPLAY=:$n
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break 2; pause 0.1; done
    kill "$xvfb_pid" 2>/dev/null; xvfb_pid=
done
[[ -n $xvfb_pid ]] || { echo "Xvfb did not start" >&2; exit 2; }
sound="none (ALSA finds no device)"
if command -v pulseaudio >/dev/null; then
    HOME=$scratch/pulse XDG_CONFIG_HOME=$scratch/pulse XDG_RUNTIME_DIR=$scratch/pulse \
        pulseaudio --daemonize=no --exit-idle-time=120 --use-pid-file=no -n --log-level=error \
        --load="module-null-sink sink_name=soak" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$scratch/pulse/native" >"$logs/pulse.log" 2>&1 &
    pulse_pid=$!
    for _ in $(seq 100); do [[ -S $scratch/pulse/native ]] && break; pause 0.05; done
    [[ -S $scratch/pulse/native ]] && export PULSE_SERVER=unix:$scratch/pulse/native && sound="private PulseAudio null sink"
fi

# Game 1 waits for its clock (not in --quick); the last one of a run presses Exit; the others
# alternate between a new game (the program goes on) and Exit (the program starts again).
ending=()
for ((k = 1; k <= games; ++k)); do
    if ((k == 1 && !quick)); then ending[k]=clock
    elif ((k == games || (k + quick) % 2)); then ending[k]=exit
    else ending[k]=newgame; fi
done
names=('anna' 'zoë' 'niccolò è qui' '<b>x</b>' '😀 gioia 🎈' '€uro & co' "o'neil \"q\"" 'ωmega √2'
    '  spazi  ' '<img src=x>' 'àèìòù ß' '%s %n \\ /' "$(printf 'z%.0s' {1..70})" '')
answer_keys=(Return Escape space)

# Known windows of the program: main, menu (menus and tooltips), prompt, greeting, question,
# goodbye, congrats, warning, other.
declare -A kind answered
visible=() main= menu=19
classify() {
    local id=$1 info width height
    info=$(xwininfo -id "$id" 2>/dev/null) || return
    [[ $info =~ Width:\ +([0-9]+) ]] && width=${BASH_REMATCH[1]}
    [[ $info =~ Height:\ +([0-9]+) ]] && height=${BASH_REMATCH[1]}
    if [[ $info == *"Override Redirect State: yes"* ]]; then kind[$id]=menu; ((g_menus++))
    elif ((width == 608)); then kind[$id]=main main=$id menu=$((height - 672)) phase=play
    elif [[ $info == *'"INIZIARE NUOVA GARA"'* ]]; then kind[$id]=question
    elif [[ $phase == prompt || $phase == greeting ]]; then kind[$id]=$phase
    # The goodbye is the narrowest box, 168 x 70 here: the others are 300 or more wide, the name
    # prompt 200 x 92.
    elif ((width < 260 && height < 80)); then kind[$id]=goodbye
        ((g_bye)) || { g_bye=$now; [[ ${ending[step]} == clock ]] && hold=$((now + 5000)); }
        deadline=$((now + 20000)) deadline_text="the program did not end after the goodbye"
    elif ((g_bye)); then kind[$id]=congrats
    elif [[ $phase == play ]]; then kind[$id]=warning
    else kind[$id]=other; fi
    printf '%7d game %d: %s %s %dx%d\n' $((now - p_t0)) "$game" "$id" "${kind[$id]}" "$width" "$height" >>"$events"
}
list() { # [x y]: a click first
    local found
    if (($#)); then
        found=$(xdotool mousemove --window "$main" "$1" "$2" mousedown 1 mouseup 1 \
            search --onlyvisible --pid "$pid" 2>/dev/null) && ((++g_clicks))
    else found=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); fi
    visible=($found)
    # The window goes while others stay: a click of the monkey landed on Sì, a new game began.
    if [[ $phase == play && -n $main ]] && ((${#visible[@]})) && [[ " ${visible[*]} " != *" $main "* ]]; then
        end_game monkey-newgame; phase=prompt main=
        deadline=$((now + 15000)) deadline_text="no name prompt after Sì"
    fi
    for id in "${visible[@]}"; do [[ -n ${kind[$id]:-} ]] || classify "$id"; done
}
key() { timeout 5 xdotool windowfocus --sync "$1" key "${@:2}" 2>/dev/null; }

new_game_state() {
    g_t0=0 g_clicks=0 g_bars=0 g_menus=0 g_warnings=0 g_no=0 g_boxes=0 g_bye=0 g_answered_bye=0
    g_congrats=0 g_action=0 g_nested=0 hold=0 g_name=
}
answer() {
    local id=$1 k=${kind[$1]}
    ((now - ${answered[$id]:-0} < 1500)) && return
    ((${answered[$id]:-0})) && ((++retries > 20)) && { fail "game $game: a $k box does not close"; abort=1; return; }
    # The goodbye of the clock stays open 5 s: each tick may open another one over it.
    [[ $k == goodbye ]] && ((now < hold)) && return
    answered[$id]=$now
    ((++g_boxes))
    printf '%7d game %d: %s answered\n' $((now - p_t0)) "$game" "$id" >>"$events"
    case $k in
    prompt)
        g_name=${names[RANDOM % ${#names[@]}]}
        if [[ -z $g_name ]]; then key "$id" Escape
        else timeout 10 xdotool windowfocus --sync "$id" type --delay 15 "$g_name" && key "$id" Return; fi
        phase=greeting deadline=$((now + 15000)) deadline_text="no greeting" ;;
    greeting)
        key "$id" "${answer_keys[RANDOM % 3]}"
        stamp; g_t0=$now phase=wait deadline=$((now + 15000)) deadline_text="no window after the greeting" ;;
    question)
        if ((g_action)); then key "$id" shift+Tab space; end_game newgame; phase=prompt main=
            deadline=$((now + 15000)) deadline_text="no name prompt after Sì"
        else key "$id" "${answer_keys[RANDOM % 2]}"; ((++g_no)); fi ;;
    goodbye)
        ((hold)) && { for v in "${visible[@]}"; do [[ ${kind[$v]:-} == goodbye ]] && ((++g_nested)); done; hold=0; }
        key "$id" "${answer_keys[RANDOM % 3]}"; g_answered_bye=1 ;;
    congrats) key "$id" "${answer_keys[RANDOM % 3]}"; g_congrats=1 ;;
    *) key "$id" "${answer_keys[RANDOM % 3]}"; [[ $k == warning ]] && ((!g_bye)) && ((++g_warnings)) ;;
    esac
}

# Exact record bytes of a name: the game stores Windows-1252, one "?" for a character it lacks.
cp1252() { python3 -c 'import sys; sys.stdout.buffer.write(sys.argv[1].encode("cp1252", "replace") + b"\r\n")' "$1"; }
best_of() { LC_ALL=C tr -d ' \t\n' <"$1" | LC_ALL=C grep -aoE '^[-+]?[0-9]+' | head -1; }
check_records() { # how
    local f size hits=?
    for f in azanfiro.txt zanfiro.txt; do
        size=$(stat -c %s "$records/$f" 2>/dev/null) || { fail "game $game: $f is missing"; continue; }
        say "    $f ($size bytes):"
        ((size)) && xxd "$records/$f" | sed 's/^/      /' | tee -a "$report"
        ((size == 0)) && continue
        [[ $(tail -c2 "$records/$f" | xxd -p) == 0d0a && $(LC_ALL=C tr -cd '\r\n' <"$records/$f" | wc -c) == 2 ]] ||
            fail "game $game: $f is not one line ending in CR LF"
    done
    [[ -s $records/azanfiro.txt ]] && ! LC_ALL=C grep -qaE $'^ ?-?[0-9]+\r$' "$records/azanfiro.txt" &&
        fail "game $game: the score file does not hold a number"
    [[ $(ls -A "$records" | tr '\n' ' ') == "azanfiro.txt zanfiro.txt " ]] ||
        fail "game $game: the record folder holds $(ls -A "$records" | tr '\n' ' ')"
    if cmp -s "$records/azanfiro.txt" "$scratch/score.before" && cmp -s "$records/zanfiro.txt" "$scratch/name.before"; then
        ((g_congrats)) && fail "game $game: congratulated but nothing was written"
        say "    record unchanged"
    elif [[ $1 == newgame ]]; then fail "game $game: a new game changed the record"
    else
        ((g_congrats)) || fail "game $game: the record changed without the congratulation"
        cmp -s "$records/zanfiro.txt" <(cp1252 "$g_name") || fail "game $game: the name file is not the name typed"
        local score=$(best_of "$records/azanfiro.txt") before=$(best_of "$scratch/score.before")
        ((score > ${before:-0})) || fail "game $game: the new record $score does not beat $before"
        hits=$((score + 4 * g_warnings))
        say "    new record $score (was ${before:-empty})"
    fi
    g_hits=$hits
}
memory_of() { # game, warm-up ms -> first last max hwm slope(kB/min after the warm-up) samples
    awk -v g="$1" -v warm="$2" '$1 == g { n++; r = $3; if (n == 1) first = r; last = r; if (r > max) max = r; hwm = $4
        if ($2 >= warm) { m++; t = $2 / 60000; sx += t; sy += r; sxx += t * t; sxy += t * r } }
        END { d = m * sxx - sx * sx; printf "%d %d %d %d %.0f %d", first, last, max, hwm, (d > 0 ? (m * sxy - sx * sy) / d : 0), n }' "$samples"
}
sample() {
    local key value rest rss= hwm=
    while read -r key value rest; do
        case $key in VmRSS:) rss=$value ;; VmHWM:) hwm=$value ;; esac
    done 2>/dev/null <"/proc/$pid/status"
    [[ -n $rss ]] && echo "$game $((now - g_t0)) $rss $hwm" >>"$samples"
    last_sample=$now
}
declare -a summary
row='%-4s %-8s %-8s %5s %6s %5s %5s %5s %9s %8s %8s %8s %6s'
end_game() { # how the game ended
    local first last max hwm slope n seconds=$(((now - g_t0) / 1000))
    [[ -n $pid ]] && sample
    # Fonts, pictures and sounds settle in the first 30 s (half of a shorter game).
    read -r first last max hwm slope n < <(memory_of "$game" $((seconds < 60 ? seconds * 500 : 30000)))
    say "game $game (${ending[step]} planned, ended by $1 after ${seconds} s), name \"$g_name\""
    say "    $g_clicks clicks ($((g_clicks / (seconds ? seconds : 1)))/s), $g_bars in the menu bar, $g_boxes boxes answered," \
        "$g_warnings miss warnings, $g_no stray new-game questions answered No, $g_menus menus/tooltips"
    ((g_bye)) && say "    goodbye $(((g_bye - g_t0) / 1000)).$(((g_bye - g_t0) % 1000 / 100)) s after the greeting$( ((g_nested)) && echo ", $g_nested goodbye box(es) open after 5 s")$( ((g_congrats)) && echo ', congratulated')"
    say "    VmRSS start $first kB, end $last kB, max $max kB; VmHWM $hwm kB; slope after the warm-up: $slope kB/min ($n samples)"
    ((seconds >= 120 && slope > max_slope)) && fail "game $game: memory grows by $slope kB a minute"
    check_records "$1"
    summary[game]=$(printf "$row" "$game" "${ending[step]}" "$1" \
        "$seconds" "$g_clicks" "$g_boxes" "$g_warnings" "$g_hits" "$first" "$last" "$max" "$hwm" "$slope")
    [[ $1 != "${ending[step]}" && $1 != aborted && $1 != monkey-newgame ]] &&
        fail "game $game ended by $1, not by ${ending[step]}"
    [[ $1 == monkey-newgame ]] || ((step++))
    ((game++)); new_game_state
}

play_process() {
    local id box status next=0 x y wait
    ((++process))
    cp "$records/azanfiro.txt" "$scratch/score.before" 2>/dev/null || : >"$scratch/score.before"
    cp "$records/zanfiro.txt" "$scratch/name.before" 2>/dev/null || : >"$scratch/name.before"
    ( cd "$scratch/cwd" && ulimit -c unlimited && HOME=$scratch/home XDG_DATA_HOME=$scratch/data \
        XDG_RUNTIME_DIR=$scratch/run XDG_CONFIG_HOME=$scratch/home ASAN_OPTIONS=log_path=$logs/asan \
        UBSAN_OPTIONS=log_path=$logs/ubsan exec "$program" ) >"$logs/program-$process.log" 2>&1 &
    pid=$! phase=prompt main= retries=0 abort=0 last_sample=0 quiet=0
    # Window ids come back in a new program run.
    kind=() answered=()
    stamp; p_t0=$now deadline=$((now + 30000)) deadline_text="no name prompt"
    say "program run $process (pid $pid) starts game $game"
    while :; do
        stamp
        read -r _ _ state _ 2>/dev/null <"/proc/$pid/stat" || state=Z
        [[ $state == Z ]] && break
        ((now - last_sample >= 2000 && g_t0)) && sample
        if ((now > deadline)); then fail "game $game: $deadline_text"; abort=1; break; fi
        box= menus=0
        for id in "${visible[@]}"; do
            case ${kind[$id]:-} in
            main | '') ;; menu) menus=1 ;;
            *) ((id > ${box:-0})) && box=$id ;;
            esac
        done
        if [[ -n $box ]]; then answer "$box"; ((abort)) && break; list
        elif [[ $phase != play || -z $main ]] || ((now < quiet)); then list
        elif ((g_action)); then
            # No answer yet to Alt+X or to the menu item: try once more every 4 s.
            ((now - g_action > 4000 && !g_bye)) && { g_action=0; ((++retries > 3)) && { fail "game $game: no reaction to the ${ending[step]} action"; abort=1; break; }; }
            list
        elif [[ ${ending[step]} != clock ]] && ((now - g_t0 >= length * 1000)); then
            if ((menus)); then key "$main" Escape
            elif [[ ${ending[step]} == exit ]]; then key "$main" alt+x; g_action=$now
            else xdotool mousemove --window "$main" 163 $((menu / 2)) mousedown 1 mouseup 1; g_action=$now; fi
            deadline=$((now + 15000)) deadline_text="no box after the ${ending[step]} action"
            list
        else
            if ((RANDOM % 20 == 0)); then x=$((RANDOM % 608)) y=$((1 + RANDOM % (menu - 2))); ((++g_bars))
                # No blind click while the question may be coming up over the window: one on its
                # Sì would start a new game (it is handled, but it upsets the plan).
                ((x >= 118 && x <= 208)) && quiet=$((now + 500))
            else
                x=$((RANDOM % 608)) y=$((menu + RANDOM % 672))
                ((x >= 404 && y < menu + 52)) && y=$((y + 60)) # Exit ends games only when planned
            fi
            list "$x" "$y"
            [[ ${ending[step]} == clock ]] && deadline=$((g_t0 + 330000)) || deadline=$((now + 600000))
            deadline_text="no goodbye by the end of the clock"
        fi
        ((next = next > now - 50 ? next + 50 : now + 50))
        stamp; ((next > now)) && printf -v wait '0.%03d' $((next - now)) && pause "$wait"
    done
    if ((abort)); then kill "$pid" 2>/dev/null; end_game aborted; fi
    wait "$pid"; status=$?; pid=
    ((g_answered_bye)) && end_game "${ending[step]/newgame/unplanned-exit}"
    ((g_t0)) && end_game "an unexpected exit"
    say "program run $process ended with status $status"
    ((status == 0)) || fail "program run $process: exit status $status$( ((status > 128)) && echo " (signal $((status - 128)))")"
    ls "$scratch"/cwd/core* >/dev/null 2>&1 && mv "$scratch"/cwd/core* "$logs/" && fail "program run $process left a core dump"
    ls "$logs"/asan.* "$logs"/ubsan.* >/dev/null 2>&1 && fail "program run $process: sanitizer report in $logs"
    grep -q "Sanitizer\|runtime error:" "$logs/program-$process.log" && fail "program run $process: sanitizer output"
    ((!abort && !status))
}

printf -- '-30000\r\n' >"$records/azanfiro.txt"
printf 'Soak\r\n' >"$records/zanfiro.txt"
say "Zanfiro soak run, $(date -u '+%Y-%m-%d %H:%M UTC'), seed $seed"
say "program $program, display $DISPLAY, sound: $sound"
say "plan: ${games} games: ${ending[*]}; games ended by hand last ${length} s"
say "record seeded with the best score -30000 held by Soak"
process=0 game=1 step=1
new_game_state
while ((step <= games)); do play_process || break; done
say ""
say "SUMMARY (memory in kB; slope in kB/min after the first 30 s of each game, or its first half)"
say "$(printf "$row" game plan ended s clicks boxes miss hits rss-start rss-end rss-max hwm slope)"
for line in "${summary[@]}"; do say "$line"; done
say "program runs: $process; failures: ${#failures[@]}"
for f in "${failures[@]}"; do say "  - $f"; done
((${#failures[@]} == 0)) && say "RESULT: PASS" || { say "RESULT: FAIL"; exit 1; }
