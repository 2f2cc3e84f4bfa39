#!/bin/sh
# Makes the three sound cues in Suoni/: 44100 Hz, 16-bit, stereo PCM WAV,
# each under 0.6 s, peaking at -6 dBFS, with soft edges so nothing clicks.
#   colori.wav   a soft pop when a colour is chosen
#   riempi.wav   a little splash when an area is filled
#   disegno.wav  a two-note chime when a new drawing appears
# Needs sox. The output is the same on every run (fixed noise, no dither).
set -eu

out="${1:-$(dirname "$0")/../Suoni}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Repeatable noise (-R), no dither (-D), CD format.
sx() { sox -R -D "$@"; }
fmt="-r 44100 -b 16 -c 2"

# Pop: a round sine bubble rising from 420 to 980 Hz, dying away quickly,
# with a faint octave above for body.
sx -n $fmt "$work/pop1.wav" synth 0.22 sine 420-980 fade q 0.004 0.22 0.18
sx -n $fmt "$work/pop2.wav" synth 0.22 sine 840-1960 fade q 0.004 0.22 0.20 vol 0.2
sx -m "$work/pop1.wav" "$work/pop2.wav" $fmt "$work/pop.wav"
sx "$work/pop.wav" $fmt "$out/colori.wav" gain -n -6 fade q 0.003 0 0.01

# Splash: pink noise through a falling band-pass, a quick swell and a long
# soft tail, with a low watery plop under it.
sx -n $fmt "$work/noise.wav" synth 0.5 pinknoise \
    sinc 400-3500 fade h 0.02 0.5 0.42 tremolo 18 30
sx -n $fmt "$work/plop.wav" synth 0.18 sine 300-140 fade q 0.005 0.18 0.15 vol 0.6
sx -m "$work/noise.wav" "$work/plop.wav" $fmt "$work/splash.wav"
sx "$work/splash.wav" $fmt "$out/riempi.wav" gain -n -6 fade q 0.003 0 0.02

# Chime: two bell-like notes, C6 then E6 a moment later, each a sine with a
# quiet upper partial, ringing out.
bell() { # name, frequency, delay
    sx -n $fmt "$work/$1a.wav" synth 0.48 sine "$2" fade l 0.003 0.48 0.44
    sx -n $fmt "$work/$1b.wav" synth 0.48 sine "$(awk "BEGIN { print $2 * 2.76 }")" \
        fade l 0.003 0.48 0.47 vol 0.15
    sx -m "$work/$1a.wav" "$work/$1b.wav" $fmt "$work/$1.wav" pad "$3" 0
}
bell low 1046.5 0
bell high 1318.5 0.11
sx -m "$work/low.wav" "$work/high.wav" $fmt "$work/chime.wav"
sx "$work/chime.wav" $fmt "$out/disegno.wav" trim 0 0.58 gain -n -6 fade q 0.003 0 0.03
