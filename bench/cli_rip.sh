#!/usr/bin/env bash
# Whole-process time and memory of `corvane-cli rip` on generated disc images (cue/bin):
#   - a disc of TRACKS tracks of TRACK_SECONDS each (4 x 300 s, 20 minutes, by default):
#     to WAV through the own path (grab mode 1: the engine's CD stream) against `cd-paranoia -Z`
#     writing the same tracks (target: no slower), and through the grabber's own grab (grab
#     mode 4: careful reading) against default `cd-paranoia` (target: no slower); every WAV of
#     ours is compared sample for sample with cd-paranoia's;
#   - the same disc to MP3 and to FLAC with --jobs 2 (two encoders beside the reader) against
#     --jobs 1 (targets on 2 cores: 1.8 for MP3, 1.5 for FLAC); the files of both runs must be
#     byte-identical, and the FLAC files decode to the disc's audio;
#   - peak RSS (/usr/bin/time -v) of the --jobs 2 rips of that disc and of a 74-minute one
#     (LONG_TRACKS x LONG_SECONDS, 15 x 296 s): the tracks read ahead wait in spool files, so
#     the figure must not grow with the disc's length (target: under 150 MB).
# Each timed job runs RUNS times (default 1); the best wall time is kept.
#
#   [RUNS=1] [TRACKS=4] [TRACK_SECONDS=300] nice -n 10 bench/cli_rip.sh [BUILD_DIR]
#   BUILD_DIR defaults to build-release: cmake -S . -B build-release -G Ninja
#   -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF && cmake --build build-release --target corvane-cli
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
cli="$(realpath "$build/src/corvane-cli")"
runs=${RUNS:-1}
tracks=${TRACKS:-4}
track_seconds=${TRACK_SECONDS:-300}
long_tracks=${LONG_TRACKS:-15}
long_seconds=${LONG_SECONDS:-296}
[[ -x "$cli" ]] || { echo "build $cli first" >&2; exit 1; }
for tool in cd-paranoia sox flac /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"  # a fresh profile: the default settings, not the user's
source bench/timing.sh
source bench/music_source.sh

mkdir "$work/disc" "$work/long"
music_disc "$work/disc" "$tracks" "$track_seconds"
music_disc "$work/long" "$long_tracks" "$long_seconds"

# Rips every track of the disc in folder $1 into a fresh folder $2 with the given options.
rip_disc() {
  local disc=$1 into=$2
  shift 2
  rm -rf "$into"
  # No database look-up over the network and no log: the reading paths alone are measured.
  "$cli" rip --device "$work/$disc/disc.cue" --output "$into" --output-name '%N' --no-verify --no-log "$@"
}
ours() { rip_disc disc "$@"; }
paranoia() {
  local into=$1
  shift
  rm -rf "$into" && mkdir "$into"
  (cd "$into" && cd-paranoia -q "$@" -B -d "$work/disc/disc.cue" -- "1-")
}
# Peak resident set size in MB of a --jobs 2 rip of the disc in folder $1 to format $2 (a
# fresh folder "rss"); the rip must give every track.
peak_mb() {
  local disc=$1 format=$2 count
  rm -rf "$work/rss"
  /usr/bin/time -v -o "$work/time.txt" "$cli" rip --device "$work/$disc/disc.cue" --output "$work/rss" \
    --output-name '%N' --no-verify --no-log --format "$format" --jobs 2 --grab-mode 1 >/dev/null 2>&1
  count=$(grep -c '^  TRACK' "$work/$disc/disc.cue")
  [[ $(find "$work/rss" -name "*.$format" | wc -l) == "$count" ]] || { echo "the $disc $format rip is incomplete" >&2; exit 1; }
  awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$work/time.txt"
}

own=$(best ours "$work/own" --format wav --grab-mode 1)
grab=$(best ours "$work/grab" --format wav --grab-mode 4)
plain=$(best paranoia "$work/plain" -Z)
careful=$(best paranoia "$work/careful")
declare -A took
for format in mp3 flac; do
  for jobs in 1 2; do
    took[$format$jobs]=$(best ours "$work/$format$jobs" --format "$format" --jobs "$jobs" --grab-mode 1)
  done
done

for ((i = 1; i <= tracks; i++)); do
  n=$(printf '%02d' "$i")
  for mine in own grab; do
    cmp -s <(sox "$work/$mine/$n.wav" -t raw -) <(sox "$work/plain/track$n.cdda.wav" -t raw -) ||
      { echo "track $n of $mine differs from cd-paranoia's" >&2; exit 1; }
  done
  for format in mp3 flac; do
    cmp -s "$work/${format}1/$n.$format" "$work/${format}2/$n.$format" ||
      { echo "$format track $n differs between --jobs 1 and 2" >&2; exit 1; }
  done
  cmp -s <(flac -d -s -c --force-raw-format --endian=little --sign=signed "$work/flac2/$n.flac") \
    <(sox "$work/plain/track$n.cdda.wav" -t raw -) || { echo "FLAC track $n does not decode to the disc's" >&2; exit 1; }
done
rm -rf "$work"/{own,grab,plain,careful,mp31,mp32,flac1,flac2}

row() { printf '%-40s %9.2f %9.2f %7.3f\n' "$1" "$2" "$3" "$(calc "$3 / $2")"; }
printf '%d tracks, %d s of audio; %d processors, load average %s\n' "$tracks" $((tracks * track_seconds)) \
  "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-40s %9s %9s %7s\n' "job (best of $runs)" "ours s" "other s" "speed-up"
row "WAV, grab mode 1 vs cd-paranoia -Z" "$own" "$plain"
row "WAV, grab mode 4 vs cd-paranoia (default)" "$grab" "$careful"
row "MP3, --jobs 2 vs --jobs 1" "${took[mp32]}" "${took[mp31]}"
row "FLAC, --jobs 2 vs --jobs 1" "${took[flac2]}" "${took[flac1]}"
echo "every WAV track of ours equals cd-paranoia's sample for sample; the MP3 and FLAC tracks of --jobs 2 equal those of --jobs 1 byte for byte, and the FLAC ones decode to the disc's"

declare -A peak
for format in mp3 flac; do
  peak[${format}disc]=$(peak_mb disc "$format")
  peak[${format}long]=$(peak_mb long "$format")
done
printf '\npeak RSS at --jobs 2, MB      %5d s disc  %5d s disc\n' $((tracks * track_seconds)) \
  $((long_tracks * long_seconds))
for format in mp3 flac; do
  printf '%-30s %11s %11s\n' "$format" "${peak[${format}disc]}" "${peak[${format}long]}"
done
