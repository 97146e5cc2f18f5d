#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The class folder on a Samba share, set up as the README says (force group, create mask 0660,
# directory mask 2770), served on this machine's loopback and mounted by each of two pupils'
# accounts with its own Samba login. The kernel here has no CIFS client, so each pupil mounts the
# share through smbnetfs (FUSE, over the same libsmbclient a desktop's file manager uses). The
# pupils take turns as in tests/e2e/class_accounts.sh: every game must end normally, the pair must
# be whole and the best, the log must hold one whole line a game.
# Needs root, the packages samba, smbnetfs and fuse, and a free port 445; it opens /dev/fuse to
# every account (mode 666), as a desktop's FUSE set-up does. Not a CI test.
# Usage: scripts/class_samba.sh [build]
set -euo pipefail
export LC_ALL=C.UTF-8
race=$(readlink -f "${1:-build}")/tools/record_race
[[ $(id -u) == 0 && -x $race ]] || { echo "usage: as root, scripts/class_samba.sh [a test build]" >&2; exit 2; }
for tool in smbd smbpasswd smbnetfs fusermount; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install samba smbnetfs fuse)" >&2; exit 2; }
done

# shellcheck source-path=SCRIPTDIR source=../tests/e2e/lib/class_folder.sh
source "$(dirname "$(readlink -f "$0")")/../tests/e2e/lib/class_folder.sh"
samba_cleanup() {
    local pupil
    for pupil in "${pupils[@]}"; do fusermount -u "$work/home/$pupil/mnt" 2>/dev/null || true; done
    [[ -f $work/run/smbd.pid ]] && kill "$(cat "$work/run/smbd.pid")" 2>/dev/null || true
    class_cleanup
}
trap samba_cleanup EXIT

share=$work/srv/classe-4b
mkdir -p "$work"/{run,lock,state,cache,private} "$share/zanfiro"
chmod 755 "$work"
cat >"$work/smb.conf" <<EOF
[global]
   server role = standalone server
   map to guest = never
   bind interfaces only = yes
   interfaces = lo
   pid directory = $work/run
   lock directory = $work/lock
   state directory = $work/state
   cache directory = $work/cache
   private dir = $work/private
   log file = $work/log.%m
   load printers = no
[classe4b]
   path = $share
   valid users = @$group
   read only = no
   force group = $group
   create mask = 0660
   directory mask = 2770
EOF
groupadd "$group"
chgrp -R "$group" "$share"
chmod 2770 "$share" "$share/zanfiro"
smbd -s "$work/smb.conf" -D
chmod 666 /dev/fuse
for pupil in "${pupils[@]}"; do
    useradd --no-create-home --no-user-group --gid users --groups "$group" "$pupil"
    printf 'Classe4b!\nClasse4b!\n' | smbpasswd -c "$work/smb.conf" -s -a "$pupil" >/dev/null
    home=$work/home/$pupil
    mkdir -p "$home/.smb" "$home/mnt" "$home/run"
    printf 'include /etc/smbnetfs.conf\nauth "127.0.0.1" "%s" "Classe4b!"\nhost 127.0.0.1 visible=true\nsmb_query_browsers false\n' \
        "$pupil" >"$home/.smb/smbnetfs.conf"
    chown -R "$pupil" "$home"
    chmod 700 "$home/.smb" "$home/run"
    chmod 600 "$home/.smb/smbnetfs.conf"
    chmod 711 "$work/home"
    runuser -u "$pupil" -- env HOME="$home" smbnetfs "$home/mnt"
done
sleep 2

folder=$share/zanfiro
play() {
    local pupil=${pupils[$1 - 1]} status=0
    local home=$work/home/$pupil
    runuser -u "$pupil" -- env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
        sh -c 'umask 022; exec "$@"' sh "$race" --cartella-record "$home/mnt/127.0.0.1/classe4b/zanfiro" "$2" "$3" 0 \
        >"$work/game.log" 2>&1 || status=$?
    [[ $status == 0 ]] || fail "pupil $1's game ($2, $3) ended with $status: $(cat "$work/game.log")"
}
take_turns
echo "PASS: two accounts, each with its own Samba login, took turns on one share: 5 games, all whole"
