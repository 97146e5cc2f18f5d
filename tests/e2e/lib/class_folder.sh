# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034  # $folder, $pupils are for the caller
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
