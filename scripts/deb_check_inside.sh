#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The part of deb_check.sh that runs inside the fresh Debian 12 root, as root there.
# Usage: deb_check_inside.sh /tmp/zanfiro_<version>_<arch>.deb
# shellcheck disable=SC2317 # the helpers run through check and wait_for
set -u
deb=$1
id=it.zanfiro.Zanfiro
pupil=alunno
home=/home/$pupil
records=$home/.local/share/zanfiro
display=:77
pids=/tmp/deb-check-pids
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 DISPLAY=$display
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
passes=0
failures=0
: >"$pids"

check() {
    what=$1
    shift
    if "$@" >/tmp/check.log 2>&1; then
        passes=$((passes + 1))
        echo "PASS: $what"
    else
        failures=$((failures + 1))
        echo "FAIL: $what"
        tail -n 15 /tmp/check.log | sed 's/^/    /'
    fi
}
report() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
    exit
}
pupil_ids="--reuid=$pupil --regid=$pupil --init-groups"
pupil_env="HOME=$home USER=$pupil LANG=C.UTF-8 PATH=/usr/bin:/bin DISPLAY=$display XDG_RUNTIME_DIR=/tmp/xdg-$pupil"
# shellcheck disable=SC2086
as_pupil() { setpriv $pupil_ids env -i $pupil_env "$@"; }
# Waits up to $1 seconds for the command to succeed.
wait_for() {
    tries=$(($1 * 4))
    shift
    while [ "$tries" -gt 0 ]; do
        "$@" >/dev/null 2>&1 && return 0
        tries=$((tries - 1))
        sleep 0.25
    done
    return 1
}

apt-get update -qq
# Without recommends, so the package's own Depends must be enough for the game to start.
check "apt-get install ./$(basename "$deb") on a clean bookworm" \
    apt-get install -y -q --no-install-recommends "$deb"
check "dpkg lists zanfiro as installed" sh -c "dpkg-query -W -f='\${Status}' zanfiro | grep -qx 'install ok installed'"
[ "$failures" -eq 0 ] || report

check "every library of the program resolves" sh -c '! ldd /usr/lib/zanfiro/zanfiro | grep "not found"'
check "the Qt platform plugin for X11 is installed" test -f /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so
check "zanfiro is on the PATH" sh -c '[ "$(command -v zanfiro)" = /usr/bin/zanfiro ]'
check "the menu entry is installed" test -f /usr/share/applications/$id.desktop
check "the icon is installed at 48 px and scalable" \
    test -f /usr/share/icons/hicolor/48x48/apps/$id.png -a -f /usr/share/icons/hicolor/scalable/apps/$id.svg
# The window's fonts are inside the program: the game below runs without them on the system.
check "no Liberation font comes with the package" sh -c '! fc-list 2>/dev/null | grep -q "Liberation"'

# The test tools come only after the checks above, so they cannot hide a missing dependency.
check "test tools install" apt-get install -y -q --no-install-recommends \
    xvfb xauth xdotool x11-apps appstream desktop-file-utils inotify-tools pulseaudio pulseaudio-utils sox
check "desktop-file-validate accepts the installed menu entry" \
    desktop-file-validate /usr/share/applications/$id.desktop
check "appstreamcli validate accepts the installed metainfo" \
    appstreamcli validate --no-net /usr/share/metainfo/$id.metainfo.xml

useradd --create-home --shell /bin/sh "$pupil"
install -d -m 700 -o "$pupil" -g "$pupil" /tmp/xdg-$pupil
Xvfb "$display" -noreset -nolisten tcp -screen 0 1024x768x24 >/tmp/xvfb.log 2>&1 &
echo $! >>"$pids"
check "Xvfb starts" wait_for 20 xdotool getdisplaygeometry
# The pupil's own sound server with one silent sink whose output we record, as on a desktop.
# shellcheck disable=SC2086
setpriv $pupil_ids env -i $pupil_env pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --load=module-native-protocol-unix --load="module-null-sink sink_name=deb_check" >/tmp/pulse.log 2>&1 &
echo $! >>"$pids"
check "the pupil's sound server starts" wait_for 20 as_pupil pactl info

# Every opening of a sound in its installed folder, whichever link the game went through.
inotifywait -m -q -e open --format '%f' /usr/share/zanfiro/suoni >/tmp/sound-opens.log 2>&1 &
echo $! >>"$pids"
sleep 0.5
# Not through a function: $! must be the game's own process, which setpriv and env become.
# shellcheck disable=SC2086
setpriv $pupil_ids env -i $pupil_env sh -c 'cd && exec zanfiro' >/tmp/zanfiro.log 2>&1 &
game=$!
echo "$game" >>"$pids"
on_screen() { xdotool search --all --onlyvisible --pid "$game" --name '^Zanfiro$'; }
check "the installed game shows its window (the name prompt)" wait_for 30 on_screen
xwd -root -silent -out /tmp/screen-prompt.xwd
check "the game runs from /usr/lib/zanfiro" sh -c "[ \"\$(readlink /proc/$game/exe)\" = /usr/lib/zanfiro/zanfiro ]"
all_sounds_opened() { for w in esplosi laser sparo; do grep -qx "$w.wav" /tmp/sound-opens.log || return 1; done; }

# A name, the greeting, then a click on the bare window starts play with the laser sound.
prompt=$(on_screen | tail -n 1)
if [ -n "$prompt" ]; then
    xdotool windowfocus --sync "$prompt" type --delay 50 Prova
    xdotool key Return
    sleep 1
    xdotool windowfocus --sync "$(on_screen | tail -n 1)" key Return
    sleep 1
    xwd -root -silent -out /tmp/screen-game.xwd
    # shellcheck disable=SC2086
    setpriv $pupil_ids env -i $pupil_env parec -d deb_check.monitor --latency-msec=20 --file-format=wav /tmp/heard.wav &
    recorder=$!
    echo "$recorder" >>"$pids"
    sleep 0.5
    # Below the top row of controls and clear of the clock: the bare backdrop.
    xdotool mousemove --window "$(on_screen | head -n 1)" 300 600 click 1
    sleep 2.5
    kill "$recorder"
    wait "$recorder"
    xwd -root -silent -out /tmp/screen-play.xwd
fi
loud() { sox /tmp/heard.wav -n stat 2>&1 | awk '/^Maximum amplitude/ { exit !($3 > 0.1) }'; }
check "starting play is heard on the sound server" loud
# The game loads its sounds when it first needs one, so by now all three are open.
check "the game loaded its three sounds from the installed folder" wait_for 10 all_sounds_opened
check "the game is still running" kill -0 "$game"
check "the game made the pupil's record files" test -f "$records/azanfiro.txt" -a -f "$records/zanfiro.txt"
kill "$game" 2>/dev/null
wait "$game" 2>/dev/null
# Records as another version of the game would have left them, should this one not have made any.
if [ ! -f "$records/azanfiro.txt" ]; then
    as_pupil mkdir -p "$records"
    printf '12\r\n' >"$records/azanfiro.txt"
    printf 'Prova\r\n' >"$records/zanfiro.txt"
fi
(cd "$records" && sha256sum azanfiro.txt zanfiro.txt) >/tmp/records.sha256

check "apt-get purge zanfiro" apt-get purge -y -q zanfiro
check "the purge removes the program, menu entry and icons" sh -c \
    "! ls -d /usr/bin/zanfiro /usr/lib/zanfiro /usr/share/zanfiro /usr/share/applications/$id.desktop /usr/share/icons/hicolor/*/apps/$id.*"
check "the purge leaves the pupil's record files as they were" sh -c "cd $records && sha256sum -c /tmp/records.sha256"

while read -r pid; do kill "$pid" 2>/dev/null; done <"$pids"
report
