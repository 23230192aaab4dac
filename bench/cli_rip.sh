#!/usr/bin/env bash
# Whole-process time of `corvane-cli rip` on a generated 60-minute disc image (cue/bin, TRACKS
# tracks of TRACK_SECONDS each, 12 x 300 s by default):
#   - to WAV through the own path (grab mode 1: the engine's CD stream) against `cd-paranoia -Z`
#     writing the same tracks (target: no slower), and through the grabber's own grab (grab
#     mode 4: careful reading) against default `cd-paranoia` (target: no slower); every WAV of
#     ours is compared sample for sample with cd-paranoia's;
#   - to FLAC with --jobs 2 (the next track read while the one before is encoded) against
#     --jobs 1; the files of both runs must be byte-identical.
# Each job runs RUNS times (default 1); the best wall time is kept.
#
#   [RUNS=1] [TRACKS=12] [TRACK_SECONDS=300] nice -n 10 bench/cli_rip.sh [BUILD_DIR]
#   BUILD_DIR defaults to build-release: cmake -S . -B build-release -G Ninja
#   -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF && cmake --build build-release --target corvane-cli
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
cli="$(realpath "$build/src/corvane-cli")"
runs=${RUNS:-1}
tracks=${TRACKS:-12}
track_seconds=${TRACK_SECONDS:-300}
[[ -x "$cli" ]] || { echo "build $cli first" >&2; exit 1; }
for tool in cd-paranoia sox flac; do
  command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"  # a fresh profile: the default settings, not the user's
source bench/timing.sh
source bench/music_source.sh

music_disc "$work" "$tracks" "$track_seconds"

# Rips every track into a fresh folder: ours with the given options, or cd-paranoia with its own.
ours() {
  local into=$1
  shift
  rm -rf "$into"
  # No database look-up over the network and no log: the reading paths alone are timed.
  "$cli" rip --device "$work/disc.cue" --output "$into" --output-name '%N' --no-verify --no-log "$@"
}
paranoia() {
  local into=$1
  shift
  rm -rf "$into" && mkdir "$into"
  (cd "$into" && cd-paranoia -q "$@" -B -d "$work/disc.cue" -- "1-")
}
own=$(best ours "$work/own" --format wav --grab-mode 1)
grab=$(best ours "$work/grab" --format wav --grab-mode 4)
plain=$(best paranoia "$work/plain" -Z)
careful=$(best paranoia "$work/careful")
flac1=$(best ours "$work/flac1" --format flac --jobs 1)
flac2=$(best ours "$work/flac2" --format flac --jobs 2)

for ((i = 1; i <= tracks; i++)); do
  n=$(printf '%02d' "$i")
  for mine in own grab; do
    cmp -s <(sox "$work/$mine/$n.wav" -t raw -) <(sox "$work/plain/track$n.cdda.wav" -t raw -) ||
      { echo "track $n of $mine differs from cd-paranoia's" >&2; exit 1; }
  done
  cmp -s "$work/flac1/$n.flac" "$work/flac2/$n.flac" || { echo "FLAC track $n differs between --jobs 1 and 2" >&2; exit 1; }
  cmp -s <(flac -d -s -c --force-raw-format --endian=little --sign=signed "$work/flac2/$n.flac") \
    <(sox "$work/plain/track$n.cdda.wav" -t raw -) || { echo "FLAC track $n does not decode to the disc's" >&2; exit 1; }
done

row() { printf '%-40s %9.2f %9.2f %7.3f\n' "$1" "$2" "$3" "$(calc "$2 / $3")"; }
printf '%d tracks, %d s of audio; %d processors, load average %s\n' "$tracks" $((tracks * track_seconds)) \
  "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-40s %9s %9s %7s\n' "job (best of $runs)" "ours s" "other s" "ratio"
row "WAV, grab mode 1 vs cd-paranoia -Z" "$own" "$plain"
row "WAV, grab mode 4 vs cd-paranoia (default)" "$grab" "$careful"
row "FLAC, --jobs 2 vs --jobs 1" "$flac2" "$flac1"
echo "every WAV track of ours equals cd-paranoia's sample for sample; the FLAC tracks of --jobs 2 equal those of --jobs 1 byte for byte and decode to the disc's"
