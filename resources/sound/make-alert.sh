#!/usr/bin/env bash
# Makes the alert chime: two soft bell tones, mono, 8 bit, 22050 Hz, 14532 samples (0.66 s).
# The WAV is committed; run this only to change the sound.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tone() { # name, length in samples, two frequencies
  sox -r 22050 -n -r 22050 -c 1 "$work/$1.wav" synth "$2s" sine "$3" sine "$4" remix - \
    fade q 0.005 "$2s" "$(( $2 * 9 / 10 ))s"
}
tone high 7266 1318.5 1975.5
tone low 7266 1046.5 1568
sox "$work/high.wav" "$work/low.wav" -b 8 -e unsigned-integer alert.wav gain -n -3
