#!/usr/bin/env bash
# Cost of the resampler: corvane-cli converting a 10-minute 48 kHz stereo WAV to 44.1 kHz MP3
# (the default preset: 128 kbps CBR), for two builds (before and after a change), best of RUNS.
# Also converts a 44.1 kHz copy, where nothing is resampled, as the floor.
# Usage: bench/resample_cost.sh BUILD [BASELINE_BUILD]   (Release builds with corvane-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
builds=("$@")
[[ ${#builds[@]} -ge 1 ]] || { echo "usage: $0 BUILD [BASELINE_BUILD]" >&2; exit 1; }
runs=${RUNS:-3}
seconds_of_audio=${SECONDS_OF_AUDIO:-600}

source bench/music_source.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
music_wav "$work/in48.wav" 48000 "$seconds_of_audio"
sox "$work/in48.wav" "$work/in44.wav" rate -v 44100

source bench/timing.sh
printf 'load average: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-40s %14s %14s\n' build "48k->44.1k s" "44.1k->44.1k s"
for build in "${builds[@]}"; do
  cli="$(realpath "$build")/src/corvane-cli"
  [[ -x "$cli" ]] || { echo "no $cli" >&2; exit 1; }
  mkdir -p "$work/out"
  resampled=$(best "$cli" convert --format mp3 --rate 44100 --overwrite --jobs 1 --output "$work/out" "$work/in48.wav")
  plain=$(best "$cli" convert --format mp3 --rate 44100 --overwrite --jobs 1 --output "$work/out" "$work/in44.wav")
  printf '%-40s %14.2f %14.2f\n' "$build" "$resampled" "$plain"
done
