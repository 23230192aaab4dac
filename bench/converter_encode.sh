#!/usr/bin/env bash
# Whole-process time of encoding the same 10-minute 44.1 kHz stereo input to MP3 128 kbps and
# Ogg Vorbis 128 kbps: through the conversion component, and through ffmpeg with libmp3lame and
# libvorbis set up alike (LAME quality 2, plain stereo; Vorbis managed at 128 kbps min = max).
# Usage: bench/converter_encode.sh [build-dir]   (configure it with -DCORVANE_BENCH=ON, Release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
bench="$build/bench/ConverterEncode_bench"
runs=${RUNS:-3}
[[ -x "$bench" ]] || { echo "build $bench first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Ten minutes of noise with a slow tone sweep mixed in: pink noise left, brown noise right.
sox -n -r 44100 -c 2 -b 16 "$work/input.wav" synth 600 pinknoise brownnoise synth 600 sine mix 200-3000 gain -n -3

source bench/timing.sh

ff=(ffmpeg -v error -y -i "$work/input.wav")
ours_mp3=$(best "$bench" mp3 "$work/input.wav" "$work/ours.mp3")
ffmpeg_mp3=$(best "${ff[@]}" -c:a libmp3lame -b:a 128k -compression_level 2 -joint_stereo 0 "$work/ffmpeg.mp3")
ours_ogg=$(best "$bench" ogg "$work/input.wav" "$work/ours.ogg")
ffmpeg_ogg=$(best "${ff[@]}" -c:a libvorbis -b:a 128k -minrate 128k -maxrate 128k "$work/ffmpeg.ogg")

duration() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }
printf '%-24s %10s %10s %8s\n' "job (best of $runs)" "ours s" "ffmpeg s" "ratio"
printf '%-24s %10.2f %10.2f %8.2f\n' "MP3 128 kbps" "$ours_mp3" "$ffmpeg_mp3" "$(calc "$ours_mp3 / $ffmpeg_mp3")"
printf '%-24s %10.2f %10.2f %8.2f\n' "Ogg Vorbis 128 kbps" "$ours_ogg" "$ffmpeg_ogg" "$(calc "$ours_ogg / $ffmpeg_ogg")"
printf 'durations (s): ours.mp3 %s ffmpeg.mp3 %s ours.ogg %s ffmpeg.ogg %s\n' \
  "$(duration "$work/ours.mp3")" "$(duration "$work/ffmpeg.mp3")" "$(duration "$work/ours.ogg")" "$(duration "$work/ffmpeg.ogg")"
printf 'sizes (bytes): ours.mp3 %s ffmpeg.mp3 %s ours.ogg %s ffmpeg.ogg %s\n' \
  "$(stat -c %s "$work/ours.mp3")" "$(stat -c %s "$work/ffmpeg.mp3")" "$(stat -c %s "$work/ours.ogg")" "$(stat -c %s "$work/ffmpeg.ogg")"
