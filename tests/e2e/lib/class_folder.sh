# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034  # $folder, $pupils, $games are for the caller
# A class set up as the README tells a technician: two pupils' accounts in one group, the class
# folder owned by that group with mode 2770, the machine's settings file naming it with the log
# on; and one game of a pupil as that account, with Debian's umask 022, through the racing pupil
# (the game's own window model, host and disk code, its boxes answered by program).
# Sourced by a script that runs as root with set -euo pipefail and has set $race.

work=$(mktemp -d)
group=zfclasse$$
pupils=(zfalunno1-$$ zfalunno2-$$)
folder=$work/srv/classe-4b/zanfiro

class_cleanup() {
    local pupil
    for pupil in "${pupils[@]}"; do userdel "$pupil" 2>/dev/null || true; done
    groupdel "$group" 2>/dev/null || true
    rm -rf "$work"
}
trap class_cleanup EXIT

fail() { echo "FAIL: $*" >&2; ls -la "$folder" >&2 || true; exit 1; }

make_class() {
    local pupil
    chmod 711 "$work"
    groupadd "$group"
    for pupil in "${pupils[@]}"; do
        useradd --no-create-home --no-user-group --gid users --groups "$group" --shell /bin/sh "$pupil"
        mkdir -p "$work/home/$pupil/run"
        chown -R "$pupil" "$work/home/$pupil"
        chmod 700 "$work/home/$pupil/run"
    done
    chmod 711 "$work/home"
    mkdir -p "$folder" "$work/xdg/zanfiro"
    chgrp "$group" "$folder"
    chmod 2770 "$folder"
    printf '[record]\nfolder=%s\nlog=true\n' "$folder" >"$work/xdg/zanfiro/zanfiro.ini"
}

# Runs the command after $1 (1 or 2) as that pupil, in the pupil's own environment.
as_pupil() {
    local pupil=${pupils[$1 - 1]}
    shift
    runuser -u "$pupil" -- env -i PATH=/usr/bin:/bin HOME="$work/home/$pupil" \
        XDG_RUNTIME_DIR="$work/home/$pupil/run" XDG_CONFIG_DIRS="$work/xdg" QT_QPA_PLATFORM=offscreen \
        sh -c 'umask 022; exec "$@"' sh "$@"
}

# One game of pupil $1 named $2 ending with score $3 ("chiude": the close box) after the goodbye
# box is closed at $4 (milliseconds since the epoch; 0: at once). Its output goes to $work/game.log.
game_of() { as_pupil "$1" "$race" "$2" "$3" "${4:-0}" >"$work/game.log" 2>&1; }

# The pair holds score $1 and name $2; the log its header and one whole line for each of the
# $games games since it was deleted; every file is the class's to read and replace.
expect() {
    local score name
    score=$(cat "$folder/azanfiro.txt")
    name=$(cat "$folder/zanfiro.txt")
    [[ $score == " $1"$'\r' && $name == "$2"$'\r' ]] || fail "the pair is '$score' '$name', not $1 $2"
    # One header with its byte order mark, then one whole line a game since the log was deleted.
    [[ $(head -c 3 "$folder/partite.csv" | xxd -p) == efbbbf ]] || fail "the log has no byte order mark"
    head -n 1 "$folder/partite.csv" | grep -q '^.*Inizio;Fine;Nome;' || fail "the log has no header"
    local lines whole
    lines=$(($(wc -l <"$folder/partite.csv") - 1))
    whole=$(tail -n +2 "$folder/partite.csv" | grep -c $'^[0-9-]* [0-9:]*;[0-9-]* [0-9:]*;[A-Za-z]*;-\\?[0-9]*;[0-9]*;[0-9]*;[a-z ]*;\\(s\xc3\xac\\|no\\).*\r$' || true)
    ((lines == games && whole == games)) || fail "the log holds $lines lines, $whole whole, for $games games"
    # Everything the game made belongs to the class: its group, readable and writable by it.
    local file
    for file in "$folder"/*; do
        [[ $(stat -c %G "$file") == "$group" ]] || fail "$file is not the class's: $(stat -c %G "$file")"
        [[ $(stat -c %A "$file") == -rw-rw---- ]] || fail "$file has the rights $(stat -c %A "$file")"
    done
}

# The class takes turns through the caller's play(): one pupil sets a record, the other plays below
# it, the teacher deletes the log, the other beats the record, the first closes the window, then
# beats it again.
take_turns() {
    games=0
    play 1 Anna 12; games=1; expect 12 Anna
    play 2 Bruno 9; games=2; expect 12 Anna
    rm "$folder/partite.csv"; games=0
    play 2 Bruno 20; games=1; expect 20 Bruno
    play 1 Anna chiude; games=2; expect 20 Bruno
    grep -q ';finestra chiusa;' "$folder/partite.csv" || fail "the close box's game is not in the log"
    play 1 Anna 25; games=3; expect 25 Anna
    [[ $(find "$folder" -mindepth 1 | wc -l) == 3 ]] || fail "files left beside the record: $(ls "$folder")"
}
