#!/usr/bin/env bash
# Peak resident memory of corvane-cli --jobs 1 converting one long 44.1 kHz stereo WAV (pink and
# brown noise with a tone sweep) to MP3 with the default "CD Quality" preset, for several lengths:
# the figure must stay flat as the input grows. ffmpeg with libmp3lame on the same file is shown
# beside it for reference. Peak RSS and times come from /usr/bin/time -v.
#
#   [MINUTES="1 10 60"] nice -n 10 bench/run_memory.sh [BUILD_DIR]
#   BUILD_DIR defaults to build-release: cmake -S . -B build-release -G Ninja
#   -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=ON && cmake --build build-release
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
cli="$(realpath "$build/src/corvane-cli")"
read -r -a minutes <<<"${MINUTES:-1 10 60}"
[[ -x "$cli" ]] || { echo "build $cli first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"  # a fresh profile: the default preset, not the user's settings

# Runs a command under /usr/bin/time -v; prints "peak-RSS-MiB wall-seconds".
measure() {
  local log="$work/time.log"
  /usr/bin/time -v -o "$log" "$@" >/dev/null 2>"$work/stderr.log" ||
    { echo "failed: $*" >&2; cat "$work/stderr.log" >&2; exit 1; }
  awk -F': ' '/Maximum resident set size/ { rss = $2 / 1024 }
              /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = 0; for (i = 1; i <= n; i++) wall = wall * 60 + t[i] }
              END { printf "%.1f %.1f\n", rss, wall }' "$log"
}
duration() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }

printf '%-8s %9s %14s %8s %15s %12s %16s\n' "minutes" "WAV MiB" "ours peak MiB" "ours s" "ffmpeg peak MiB" "ffmpeg s" "MP3 duration s"
for m in "${minutes[@]}"; do
  seconds=$((m * 60))
  input="$work/input-$m.wav"
  sox -n -r 44100 -c 2 -b 16 "$input" synth "$seconds" pinknoise brownnoise synth "$seconds" sine mix 200-3000 gain -n -3
  mkdir -p "$work/out-$m"
  read -r ours_rss ours_wall < <(measure "$cli" convert --format mp3 --output "$work/out-$m" --jobs 1 "$input")
  read -r ff_rss ff_wall < <(measure ffmpeg -v error -nostdin -y -i "$input" -codec:a libmp3lame -b:a 128k \
    -compression_level 2 -joint_stereo 0 "$work/ffmpeg-$m.mp3")
  printf '%-8s %9.0f %14.1f %8.1f %15.1f %12.1f %16.2f\n' "$m" "$(($(stat -c %s "$input") / 1048576))" \
    "$ours_rss" "$ours_wall" "$ff_rss" "$ff_wall" "$(duration "$work/out-$m/input-$m.MP3")"
  rm -f "$input" "$work/ffmpeg-$m.mp3"
done
