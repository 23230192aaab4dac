#!/usr/bin/env bash
# ReplayGain measured while encoding: a 10-minute music-like WAV to MP3 (default preset) through
# corvane-cli with --replaygain track against --replaygain off (target: at most 5 % more time),
# and against encoding without it and then scanning and tagging the finished file with loudgain
# (target: faster in total). The gains of both ways are printed side by side.
# Usage: bench/replaygain.sh [build-dir]   (a Release build with corvane-cli)
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

source bench/timing.sh
convert() { "$cli" convert --format mp3 --overwrite --jobs 1 --output "$work/$1" --replaygain "$2" "$work/music.wav"; }
afterwards() { convert after off && loudgain -q -s i -I 3 "$work"/after/*; }
mkdir -p "$work/off" "$work/track" "$work/after"
printf 'load average: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
off=$(best convert off off)
track=$(best convert track track)
after=$(best afterwards)
printf '%-30s %9s %9s\n' run seconds "vs off"
printf '%-30s %9.2f %9s\n' "--replaygain off" "$off" "1.000"
printf '%-30s %9.2f %9.3f\n' "--replaygain track" "$track" "$(calc "$track / $off")"
printf '%-30s %9.2f %9.3f\n' "off, then loudgain -s i" "$after" "$(calc "$after / $off")"
gain() { /usr/bin/python3 -c 'import sys, mutagen; t = mutagen.File(sys.argv[1]).tags; print(t["TXXX:REPLAYGAIN_TRACK_GAIN"].text[0])' "$1"; }
printf 'track gain: ours %s, loudgain %s\n' "$(gain "$work"/track/*)" "$(gain "$work"/after/*)"
