#!/usr/bin/env bash
# Cost of the resampler: corvane-cli converting a 10-minute 48 kHz stereo WAV to 44.1 kHz MP3
# (the default preset: 128 kbps CBR), for two builds (before and after a change), best of RUNS.
# Also converts a 44.1 kHz copy, where nothing is resampled, as the floor. Wall and CPU time.
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

# Wall and CPU seconds (user + system, children included) of one run: "wall cpu".
timed() { /usr/bin/time -f '%e %U %S' "$@" 2>&1 >/dev/null | awk 'END { printf "%s %.2f\n", $1, $2 + $3 }'; }
# Best wall and best CPU time over RUNS, the builds taking turns so that a change in the
# machine's load falls on all of them alike.
declare -A wall cpu
for _ in $(seq "$runs"); do
  for build in "${builds[@]}"; do
    cli="$(realpath "$build")/src/corvane-cli"
    [[ -x "$cli" ]] || { echo "no $cli" >&2; exit 1; }
    mkdir -p "$work/out"
    for input in in48 in44; do
      read -r w c < <(timed "$cli" convert --format mp3 --rate 44100 --overwrite --jobs 1 --output "$work/out" "$work/$input.wav")
      key="$build/$input"
      if [[ -z ${wall[$key]:-} ]] || [[ $(awk "BEGIN { print ($w < ${wall[$key]}) }") == 1 ]]; then wall[$key]=$w; fi
      if [[ -z ${cpu[$key]:-} ]] || [[ $(awk "BEGIN { print ($c < ${cpu[$key]}) }") == 1 ]]; then cpu[$key]=$c; fi
    done
  done
done
printf 'load average: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-36s %16s %16s %16s %16s\n' "build (best of $runs)" "48k->44.1k wall" "48k->44.1k CPU" "44.1k wall" "44.1k CPU"
for build in "${builds[@]}"; do
  printf '%-36s %16.2f %16.2f %16.2f %16.2f\n' "$build" "${wall[$build/in48]}" "${cpu[$build/in48]}" \
    "${wall[$build/in44]}" "${cpu[$build/in44]}"
done
