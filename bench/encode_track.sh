#!/usr/bin/env bash
# Whole-process time of encoding one 10-minute 44.1 kHz stereo WAV through EncodeTrack, against
# the encoders a user would run alone on the same file:
#   FLAC level 5: EncodeTrack (decode stream -> flac -5 fed on standard input) vs flac -5 reading
#   the file, and vs flac -5 fed the file through a pipe (the cost of the pipe alone)
#   MP3 128 kbps: EncodeTrack (decode stream -> conversion component with LAME, fresh profile:
#   quality 2, plain stereo) vs lame -b 128, lame with the same settings, ffmpeg with libmp3lame.
# Usage: bench/encode_track.sh [build-dir]   (configure it with -DCORVANE_BENCH=ON, Release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
bench="$(realpath "$build/bench/encode_track_bench")"
runs=${RUNS:-3}
[[ -x "$bench" ]] || { echo "build $bench first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"  # the bench writes its settings here, not into the user's
sox -n -r 44100 -c 2 -b 16 "$work/input.wav" synth 600 pinknoise brownnoise synth 600 sine mix 200-3000 gain -n -3

source bench/timing.sh
row() { printf '%-34s %9.2f %9.2f %7.3f\n' "$1" "$2" "$3" "$(calc "$2 / $3")"; }

in="$work/input.wav"
ours_flac=$(best "$bench" flac "$in" "$work/ours.flac")
flac_alone=$(best flac -5 -f -s -o "$work/flac.flac" "$in")
flac_piped=$(best sh -c 'cat "$1" | flac -5 -f -s -o "$2" -' sh "$in" "$work/piped.flac")
ours_mp3=$(best "$bench" mp3 "$in" "$work/ours.mp3")
lame_plain=$(best lame --quiet -b 128 "$in" "$work/lame.mp3")
lame_same=$(best lame --quiet -b 128 -q 2 -m s "$in" "$work/lame-q2.mp3")
ffmpeg_mp3=$(best ffmpeg -v error -y -i "$in" -c:a libmp3lame -b:a 128k -compression_level 2 -joint_stereo 0 "$work/ffmpeg.mp3")

printf '%-34s %9s %9s %7s\n' "job (best of $runs)" "ours s" "other s" "ratio"
row "FLAC -5 vs flac -5" "$ours_flac" "$flac_alone"
row "FLAC -5 vs cat | flac -5 -" "$ours_flac" "$flac_piped"
row "MP3 128 vs lame -b 128" "$ours_mp3" "$lame_plain"
row "MP3 128 vs lame -b 128 -q 2 -m s" "$ours_mp3" "$lame_same"
row "MP3 128 vs ffmpeg libmp3lame q2" "$ours_mp3" "$ffmpeg_mp3"
cmp <(ffmpeg -v error -i "$work/ours.flac" -f s16le -) <(ffmpeg -v error -i "$in" -f s16le -) \
  && echo "ours.flac decodes to the input exactly"
duration() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }
printf 'durations (s): ours.flac %s flac.flac %s ours.mp3 %s lame.mp3 %s\n' "$(duration "$work/ours.flac")" \
  "$(duration "$work/flac.flac")" "$(duration "$work/ours.mp3")" "$(duration "$work/lame.mp3")"
