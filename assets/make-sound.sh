#!/usr/bin/env bash
# Makes the start-up sound demo/vantu2.wav: a gust of wind that rises into a
# copper gong strike. About 1.5 s, 22050 Hz, 16-bit PCM, mono. Needs sox.
#   assets/make-sound.sh
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$here/../demo/vantu2.wav"
command -v sox >/dev/null || { echo "sox not found" >&2; exit 1; }
mkdir -p "$(dirname "$out")"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

rate=22050
fmt=(-r $rate -c 1 -b 16 -e signed-integer)
# -R keeps sox's dither and noise generators repeatable from run to run.
sx() { sox -R "$@"; }

# --- gust: pink noise through a band that climbs from low rumble to a hiss ---
# sox cannot sweep a filter continuously, so the rise is built from short
# overlapping slices, each filtered a little higher than the last, laid one
# after another with a small overlap and mixed.
centres=(300 400 540 720 950 1250 1650 2150 2800)
slices=()
for i in "${!centres[@]}"; do
    f=${centres[$i]}
    start=$(awk -v i="$i" 'BEGIN{printf "%.3f", i*0.1}')
    sx -n "${fmt[@]}" "$tmp/g$i.wav" synth 0.24 pinknoise \
        bandpass $f $((f / 3))h bandpass $f $((f / 2))h \
        fade h 0.06 0.24 0.08 pad "$start" 0
    slices+=(-v 1 "$tmp/g$i.wav")
done
sx -m "${slices[@]}" "$tmp/gust_raw.wav"
# Shape the whole gust: swell in, then fall away under the gong.
sx "$tmp/gust_raw.wav" "$tmp/gust.wav" lowpass 4000 norm -6 fade h 0.5 -0 0.5

# --- gong: inharmonic partials with a small upward bend, long ringing tail ----
# Ratios roughly follow a struck metal plate; each partial decays at its own
# speed, the high ones first, which is what makes it sound like metal.
partials=("98-104 1.0 0.35" "196-208 1.15 0.55" "541-572 0.95 0.30" "1060-1120 0.70 0.18"
          "1752-1850 0.50 0.10" "2619-2760 0.35 0.06")
parts=()
for n in "${!partials[@]}"; do
    read -r sweep len vol <<<"${partials[$n]}"
    sx -n "${fmt[@]}" "$tmp/p$n.wav" synth "$len" sine "$sweep" \
        vol "$vol" fade l 0.005 "$len" "$(awk -v l="$len" 'BEGIN{print l-0.01}')"
    parts+=(-v 0.6 "$tmp/p$n.wav")
done
sx -m "${parts[@]}" "$tmp/gong_dry.wav" norm -3
# A touch of room so the strike blooms instead of clicking.
sx "$tmp/gong_dry.wav" "$tmp/gong.wav" pad 0 0.4 reverb 35 50 60

# --- mix: the gong lands as the gust peaks -----------------------------------
sx "$tmp/gong.wav" "$tmp/gong_late.wav" pad 0.55 0
sx -m -v 0.45 "$tmp/gust.wav" -v 1.0 "$tmp/gong_late.wav" "$tmp/mix.wav"
sx "$tmp/mix.wav" "${fmt[@]}" "$out" trim 0 1.5 norm -1 fade t 0 1.5 0.15

soxi "$out" | sed -n '/Channels/,/Bit Rate/p'
