#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Synthesizes the game's three sound effects with sox, into the folder of this script, at 48,000 Hz:
# the rate sound devices and shared audio modes mostly run at, so none is resampled on its way.
# Every sound peaks at -3 dBFS, so none is harsh or clips, and ends with 200 ms of silence: a
# player that stops a sound a little early loses only silence. The game's first player dropped
# about the last 100 ms of a file; the Linux player now plays a file to its last sample, and the
# silence stays for Windows' own player, whose end has not been measured.
set -eu
cd "$(dirname "$0")"
raw=$(mktemp --suffix=.wav)
trap 'rm -f "$raw"' EXIT

# -R: the same noise on every run, so a rebuild gives identical files. The sound is made in
# floating point first: normalising within the synth chain misses the -3 dBFS target.
make() {
    out=$1
    shift
    sox -R -n -r 48000 -c 1 -e floating-point -b 32 "$raw" "$@"
    sox -R -D "$raw" -e signed-integer -b 16 "$out" gain -n -3 pad 0 0.2
}

# A hit: a crack of bright noise over a short thump, dying away fast.
make sparo.wav \
    synth 0.3 whitenoise synth 0.3 sine mix 110:60 \
    highpass 120 lowpass 6000 fade l 0.002 0.3 0.29

# A miss: a low rumble that swells in a blink and rolls on, fading, for most of a second.
make esplosi.wav \
    synth 0.9 brownnoise synth 0.9 sine mix 70:35 \
    lowpass 700 tremolo 11 40 fade h 0.015 0.9 0.85

# Play starts: a tone sliding fast down four octaves, with a buzz an octave below it.
# The buzz sweeps with "-": sox 14.4 turns a square swept with "/" into a flat line. Its edges
# ring over full scale in the low-pass filters: 6 dB of headroom keeps them whole.
make laser.wav \
    synth 0.5 sine 2000/125 synth 0.5 square mix 1000-62 gain -6 \
    lowpass 3000 lowpass 3000 fade h 0.01 0.5 0.4
