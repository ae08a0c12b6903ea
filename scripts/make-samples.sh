#!/usr/bin/env bash
# Makes the small bundled sample files in samples/ with real encoders (one second or less of a
# sine tone each). Run again to regenerate them; the README's first command reports them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/samples"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
ff=(ffmpeg -hide_banner -loglevel error -y)
"${ff[@]}" -f lavfi -i "sine=frequency=440:duration=1:sample_rate=44100" -ac 2 -c:a pcm_s16le "$work/tone.wav"
"${ff[@]}" -f lavfi -i "sine=frequency=440:duration=0.5:sample_rate=22050" -ac 1 -c:a pcm_s16le "$out/mono-22050.wav"
lame --quiet -b 64 --tt "Sample Tone" --ta "Orvane Test Orchestra" --tl "Samples" --ty 2026 \
  --tc "A short sine" --tn 1 --tg "Ambient" --id3v2-only "$work/tone.wav" "$out/tagged-cbr.mp3"
flac --silent -f -T "TITLE=Sample Tone" -T "ARTIST=Orvane Test Orchestra" -o "$out/tone.flac" "$work/tone.wav"
oggenc --quiet -q 0 -t "Sample Tone" -a "Orvane Test Orchestra" -o "$out/tone.ogg" "$work/tone.wav"
wavpack -q -y "$work/tone.wav" -o "$out/tone.wv"
"${ff[@]}" -i "$work/tone.wav" -c:a ac3 -b:a 96k "$out/tone.ac3"
"${ff[@]}" -i "$work/tone.wav" -strict -2 -c:a dca -b:a 320k -ar 44100 "$out/tone.dts"
ls -l "$out"
