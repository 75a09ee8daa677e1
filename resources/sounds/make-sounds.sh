#!/bin/sh
# Makes the built-in sound effects with sox: short mono waves at 22050 Hz, 16-bit PCM, and
# 123 in IMA ADPCM so that the player's ADPCM path is exercised by a real resource.
#   101-108  wrong answer: gentle low bonks and falling tones
#   109-122  right answer: bright rising chimes and arpeggios
#   123      farewell, or no quiz to take: a soft falling three-note chime
# ExamoForge reuses 109 (right) and 101 (wrong); see ../examoforge.qrc.
# Run it again after a change here and commit the waves with the script.
set -eu
cd "$(dirname "$0")"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

RATE=22050
part=0

# note START LENGTH SHAPE FREQ: one note that decays over its length, silent until START.
# FREQ may be a sweep such as 200-90.
note() {
    part=$((part + 1))
    sox -R -n -r $RATE -c 1 -b 16 "$tmp/part$part.wav" \
        synth "$2" "$3" "$4" fade l 0.005 "$2" "$(awk "BEGIN { print $2 - 0.01 }")" pad "$1"
}

# soft: a note with a slow attack, for the low tones, which would click with a hard start.
soft() {
    part=$((part + 1))
    sox -R -n -r $RATE -c 1 -b 16 "$tmp/part$part.wav" \
        synth "$2" "$3" "$4" fade h 0.03 "$2" "$(awk "BEGIN { print $2 * 0.6 }")" pad "$1"
}

# level FILE: the gain in dB that brings FILE to an even loudness (RMS -20 dB), so that a low
# bonk is no louder than a chime, without letting its peak pass -1 dB.
level() {
    sox "$1" -n stats 2>&1 | awk '
        /^Pk lev dB/ { pk = $4 }
        /^RMS lev dB/ { rms = $4 }
        END { g = -20 - rms; if (g > -1 - pk) g = -1 - pk; printf "%.2f\n", g }'
}

# finish NAME [sox effects...]: mixes the notes made since the last finish into NAME.wav.
finish() {
    out="$1.wav"
    shift
    if [ "$part" -eq 1 ]; then
        sox -R "$tmp/part1.wav" -b 32 -e floating-point "$tmp/mix.wav" "$@"
    else
        sox -R -m "$tmp"/part*.wav -b 32 -e floating-point "$tmp/mix.wav" "$@"
    fi
    sox -R "$tmp/mix.wav" -r $RATE -c 1 -b 16 -e signed-integer "$out" gain "$(level "$tmp/mix.wav")"
    rm -f "$tmp"/part*.wav
    part=0
}

# Wrong answers.
soft 0 0.35 sine 200-90
finish 101 lowpass 1200

soft 0 0.28 triangle 196
soft 0.26 0.45 triangle 130.81
finish 102 lowpass 900

soft 0 0.2 sine 329.63
soft 0.18 0.2 sine 261.63
soft 0.36 0.4 sine 220
finish 103

soft 0 0.3 triangle 233-220
soft 0.3 0.6 triangle 220-185
finish 104 lowpass 700

soft 0 0.25 sine 150-80
soft 0.25 0.35 sine 140-70
finish 105

soft 0 0.6 sine 185
soft 0 0.6 sine 176
finish 106

soft 0 0.6 triangle 400-150
finish 107 lowpass 1000

note 0 0.35 pluck 196
note 0.2 0.35 pluck 164.81
note 0.4 0.6 pluck 130.81
finish 108 lowpass 1500

# Right answers.
note 0 0.5 sine 523.25
note 0.09 0.5 sine 659.25
note 0.18 0.7 sine 783.99
finish 109

note 0 0.4 pluck 523.25
note 0.08 0.4 pluck 659.25
note 0.16 0.4 pluck 783.99
note 0.24 0.6 pluck 1046.5
finish 110

note 0 0.5 sine 783.99
note 0.15 0.8 sine 1046.5
finish 111

note 0 0.3 triangle 587.33
note 0.07 0.3 triangle 739.99
note 0.14 0.3 triangle 880
note 0.21 0.6 triangle 1174.66
finish 112 lowpass 4000

note 0 0.25 sine 600-1200
note 0.22 0.7 sine 1200
finish 113

note 0 1.0 sine 1046.5
note 0 1.0 sine 1318.51
note 0 1.0 sine 1567.98
finish 114

note 0 0.4 pluck 698.46
note 0.08 0.4 pluck 880
note 0.16 0.4 pluck 1046.5
note 0.24 0.7 pluck 1396.91
finish 115

note 0 0.35 sine 659.25
note 0.06 0.35 sine 830.61
note 0.12 0.35 sine 987.77
note 0.18 0.6 sine 1318.51
finish 116

note 0 0.3 triangle 783.99
note 0.08 0.3 triangle 987.77
note 0.16 0.3 triangle 1174.66
note 0.3 0.8 triangle 783.99
note 0.3 0.8 triangle 987.77
note 0.3 0.8 triangle 1567.98
finish 117 lowpass 4000

note 0 0.25 sine 523.25
note 0.06 0.25 sine 587.33
note 0.12 0.25 sine 659.25
note 0.18 0.25 sine 783.99
note 0.24 0.25 sine 880
note 0.3 0.6 sine 1046.5
finish 118

note 0 0.4 pluck 440
note 0.1 0.4 pluck 554.37
note 0.2 0.4 pluck 659.25
note 0.3 0.7 pluck 880
finish 119

note 0 0.18 sine 523.25
note 0 0.18 sine 659.25
note 0 0.18 sine 783.99
note 0.2 0.9 sine 1046.5
note 0.2 0.9 sine 1318.51
note 0.2 0.9 sine 1567.98
finish 120

note 0 0.3 sine 1318.51
note 0.12 0.7 sine 1760
finish 121

note 0 0.3 triangle 466.16
note 0.1 0.3 triangle 587.33
note 0.2 0.3 triangle 698.46
note 0.3 0.7 triangle 932.33
finish 122 lowpass 4000

# Farewell, in IMA ADPCM.
note 0 0.6 sine 783.99
note 0.3 0.6 sine 659.25
note 0.6 0.9 sine 523.25
finish "$tmp/123pcm"
sox -R "$tmp/123pcm.wav" -e ima-adpcm 123.wav
