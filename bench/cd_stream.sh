#!/usr/bin/env bash
# Whole-process time of ripping a generated 60-minute disc image (cue/bin, TRACKS tracks of
# TRACK_SECONDS each, 12 x 300 s by default) to WAV files through the engine's CD stream, against
# cd-paranoia writing the same tracks as WAV files: with its checking off (-Z), the same plain
# reads, and with its default full checking. Ours runs twice: "plain" writes the stream behind a
# WAV header as cd-paranoia does (target: no slower than -Z); "encode" is the rip's own path
# (EncodeTrack and the conversion component, which syncs every finished file to the disk).
# Every track of ours is compared sample for sample with cd-paranoia's.
# Usage: bench/cd_stream.sh [build-dir]   (configure it with -DCORVANE_BENCH=ON, Release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
bench="$(realpath "$build/bench/cd_stream_bench")"
runs=${RUNS:-3}
tracks=${TRACKS:-12}
track_seconds=${TRACK_SECONDS:-300}
[[ -x "$bench" ]] || { echo "build $bench first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"  # the bench writes its settings here, not into the user's
source bench/timing.sh
source bench/music_source.sh

music_disc "$work" "$tracks" "$track_seconds"

# A command that rips every track into a fresh folder: ours, or cd-paranoia with its options.
rip() {
  local into=$1
  shift
  rm -rf "$into" && mkdir "$into"
  if [[ ${1-} == plain || ${1-} == encode ]]; then
    "$bench" "$1" "$work/disc.cue" "$tracks" "$into"
  else
    (cd "$into" && cd-paranoia -q "$@" -B -d "$work/disc.cue" -- "1-")
  fi
}
encoded=$(best rip "$work/encoded" encode)
ours=$(best rip "$work/ours" plain)
plain=$(best rip "$work/plain" -Z)
careful=$(best rip "$work/careful")

for ((i = 1; i <= tracks; i++)); do
  n=$(printf '%02d' "$i")
  for ours_dir in ours encoded; do
    for other in plain careful; do
      cmp -s <(sox "$work/$ours_dir/track$n.wav" -t raw -) <(sox "$work/$other/track$n.cdda.wav" -t raw -) ||
        { echo "track $n of $ours_dir differs from cd-paranoia ($other)" >&2; exit 1; }
    done
  done
done

row() { printf '%-36s %9.2f %9.2f %7.3f\n' "$1" "$2" "$3" "$(calc "$2 / $3")"; }
printf '%d tracks, %d s of audio; load average %s\n' "$tracks" $((tracks * track_seconds)) "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-36s %9s %9s %7s\n' "job (best of $runs)" "ours s" "other s" "ratio"
row "CD stream vs cd-paranoia -Z" "$ours" "$plain"
row "CD stream vs cd-paranoia (default)" "$ours" "$careful"
row "own path vs cd-paranoia -Z" "$encoded" "$plain"
row "own path vs cd-paranoia (default)" "$encoded" "$careful"
echo "every track of ours (plain and own path) equals cd-paranoia's, sample for sample"
