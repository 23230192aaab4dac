#!/usr/bin/env bash
# FLAC through corvane-cli against `flac -5` reading the same WAV file: whole-process time
# (target ratio 1.10 or better) and size, on 10 minutes of music-like audio (plucked chords over
# pink noise, 44.1 kHz stereo) and on speech (espeak-ng, 22,050 Hz mono).
# Usage: bench/flac_output.sh [build-dir]   (a Release build with corvane-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
cli="$(realpath "$build")/src/corvane-cli"
runs=${RUNS:-3}
seconds_of_audio=${SECONDS_OF_AUDIO:-600}
[[ -x "$cli" ]] || { echo "build $cli first" >&2; exit 1; }

source bench/music_source.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
music_wav "$work/music.wav" 44100 "$seconds_of_audio"
espeak-ng -w "$work/speech.wav" "$(printf 'A converter should never make a file larger than its source. %.0s' {1..20})"

source bench/timing.sh
printf 'load average: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-8s %9s %9s %7s %12s %12s %9s\n' input "ours s" "flac s" ratio "ours bytes" "flac bytes" "size +%"
for input in music speech; do
  wav="$work/$input.wav"
  mkdir -p "$work/out"
  ours=$(best "$cli" convert --format flac --overwrite --jobs 1 --output "$work/out" "$wav")
  theirs=$(best flac -5 -f -s -o "$work/$input-flac.flac" "$wav")
  ours_file=$(ls "$work/out/$input".* | head -1)
  ours_size=$(stat -c %s "$ours_file")
  flac_size=$(stat -c %s "$work/$input-flac.flac")
  printf '%-8s %9.2f %9.2f %7.2f %12d %12d %9.3f\n' "$input" "$ours" "$theirs" "$(calc "$ours / $theirs")" \
    "$ours_size" "$flac_size" "$(calc "($ours_size - $flac_size) * 100 / $flac_size")"
done
