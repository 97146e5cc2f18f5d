#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command against a private sound server whose only output is a silent null sink, records
# everything the command plays and says how loud it was: proof that a program really sounds, on a
# machine without speakers (and quiet on one with them).
#
# Usage: scripts/sound_proof.sh [-o recording.wav] command [argument...]
# Exit status: the command's own when it fails, 3 when it played nothing, otherwise 0.
set -eu

keep=
if [ "${1:-}" = "-o" ]; then
    keep=$2
    shift 2
fi
[ $# -gt 0 ] || { echo "usage: $0 [-o recording.wav] command [argument...]" >&2; exit 2; }
for tool in pulseaudio parec sox; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 2; }
done

dir=$(mktemp -d)
mkdir -m 700 "$dir/run"
server_pid=
recorder_pid=
cleanup() {
    [ -z "$recorder_pid" ] || kill "$recorder_pid" 2>/dev/null || true
    [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT INT TERM

# Cookie and runtime files stay in the temporary folder, away from any real session; the server
# ends by itself once idle should this script be killed.
HOME=$dir XDG_CONFIG_HOME=$dir XDG_RUNTIME_DIR=$dir/run \
    pulseaudio --daemonize=no --exit-idle-time=10 --use-pid-file=no -n --log-level=error \
    --load="module-null-sink sink_name=zanfiro_proof" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" &
server_pid=$!
tries=0
until [ -S "$dir/native" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || { echo "$0: pulseaudio did not start" >&2; exit 2; }
    sleep 0.05
done
PULSE_SERVER=unix:$dir/native
export PULSE_SERVER

parec --device=zanfiro_proof.monitor --latency-msec=20 --file-format=wav --format=s16le --channels=1 \
    --rate=22050 "$dir/heard.wav" &
recorder_pid=$!
# Recording has begun once the file holds more than its header.
tries=0
until [ "$(stat -c %s "$dir/heard.wav" 2>/dev/null || echo 0)" -gt 4096 ]; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || { echo "$0: parec does not record" >&2; exit 2; }
    sleep 0.05
done

status=0
"$@" || status=$?

# The last sound may still be on its way through the server.
sleep 1
kill "$recorder_pid"
wait "$recorder_pid" || true
recorder_pid=

[ -z "$keep" ] || cp "$dir/heard.wav" "$keep"
peak=$(sox "$dir/heard.wav" -n stat 2>&1 | awk '/^Maximum amplitude/ { print $3 }')
[ "$status" -eq 0 ] || exit "$status"
if awk -v p="${peak:-0}" 'BEGIN { exit !(p > 0.01) }'; then
    echo "sound_proof: heard, peak amplitude $peak"
else
    echo "sound_proof: silence"
    exit 3
fi
