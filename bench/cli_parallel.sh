#!/usr/bin/env bash
# corvane-cli converting FILES WAV files of SECONDS_OF_AUDIO each (44.1 kHz stereo: pink and
# brown noise with a tone sweep) to MP3 with the default "CD Quality" preset (128 kbps CBR,
# LAME quality 2, plain stereo): --jobs 2 against --jobs 1 (the speed-up), and against ffmpeg
# with libmp3lame set up alike converting the same files one after another. Checks that every
# --jobs 2 output is byte-identical to its --jobs 1 output.
#
# Note: `ffmpeg -b:a 128k -q:a 2` is NOT the same job: -q:a switches libmp3lame to VBR V2
# (about 173 kbps on this material). LAME's algorithm quality is -compression_level in ffmpeg.
#
# ROUNDS > 1 repeats the three jobs in turn and keeps the best wall time of each (with its CPU
# time), which evens out the other load of a shared machine.
#
#   [FILES=40] [SECONDS_OF_AUDIO=180] [ROUNDS=1] nice -n 10 bench/cli_parallel.sh [BUILD_DIR]
#   BUILD_DIR defaults to build-release: cmake -S . -B build-release -G Ninja
#   -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=ON && cmake --build build-release
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
cli="$(realpath "$build/src/corvane-cli")"
count=${FILES:-40}
length=${SECONDS_OF_AUDIO:-180}
rounds=${ROUNDS:-1}
[[ -x "$cli" ]] || { echo "build $cli first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"  # a fresh profile: the default preset, not the user's settings
mkdir -p "$work/wav"

for n in $(seq 1 "$count"); do
  low=$((150 + 7 * n))  # every file sweeps from a different tone
  sox -n -r 44100 -c 2 -b 16 "$work/wav/$(printf 'track%02d' "$n").wav" \
    synth "$length" pinknoise brownnoise synth "$length" sine mix "$low-3000" gain -n -3
done

# Runs a command under /usr/bin/time; prints "wall cpu" (cpu = user + system, children included).
measure() {
  local log="$work/time.log"
  /usr/bin/time -o "$log" -f '%e %U %S' "$@" >/dev/null 2>"$work/stderr.log" ||
    { echo "failed: $*" >&2; cat "$work/stderr.log" >&2; exit 1; }
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$log"
}
ffmpeg_all() {
  for f in "$work"/wav/*.wav; do
    ffmpeg -v error -nostdin -y -i "$f" -codec:a libmp3lame -b:a 128k -compression_level 2 -joint_stereo 0 \
      "$work/ffmpeg/$(basename "${f%.wav}").mp3" || return 1
  done
}
export -f ffmpeg_all
export work

# Keeps the pair "wall cpu" with the shorter wall time.
shorter() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " "); print (a == "" || y[1] < x[1]) ? b : a }'; }
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
best1="" best2="" bestf=""
for _ in $(seq "$rounds"); do
  rm -rf "$work/jobs1" "$work/jobs2" "$work/ffmpeg"
  mkdir -p "$work/jobs1" "$work/jobs2" "$work/ffmpeg"
  run=$(measure "$cli" convert --format mp3 --output "$work/jobs1" --jobs 1 "$work"/wav/*.wav)
  best1=$(shorter "$best1" "$run")
  run=$(measure "$cli" convert --format mp3 --output "$work/jobs2" --jobs 2 "$work"/wav/*.wav)
  best2=$(shorter "$best2" "$run")
  run=$(measure bash -c ffmpeg_all)
  bestf=$(shorter "$bestf" "$run")
done
read -r wall1 cpu1 <<<"$best1"
read -r wall2 cpu2 <<<"$best2"
read -r wallf cpuf <<<"$bestf"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

identical=0
for f in "$work"/jobs1/*; do
  cmp -s "$f" "$work/jobs2/$(basename "$f")" && identical=$((identical + 1))
done
made=$(find "$work/jobs1" -type f | wc -l)

calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }
echo "$count WAV files of $length s (44.1 kHz stereo) to MP3 128 kbps CBR, LAME quality 2, plain stereo; best of $rounds"
printf '%-34s %8s %8s %10s %9s\n' "job" "wall s" "CPU s" "s per file" "vs jobs 1"
row() { printf '%-34s %8.2f %8.2f %10.2f %9s\n' "$1" "$2" "$3" "$(calc "$2 / $count")" "$4"; }
row "corvane-cli --jobs 1" "$wall1" "$cpu1" "1.00"
row "corvane-cli --jobs 2" "$wall2" "$cpu2" "$(calc "$wall1 / $wall2")"
row "ffmpeg libmp3lame, one by one" "$wallf" "$cpuf" "$(calc "$wall1 / $wallf")"
echo "speed-up --jobs 2 / --jobs 1: $(calc "$wall1 / $wall2") (target 1.7)"
echo "--jobs 2 outputs byte-identical to --jobs 1: $identical of $made (of $count sources)"
echo "sizes of track01 (bytes): ours $(stat -c %s "$work/jobs1/track01.MP3")," \
  "ffmpeg $(stat -c %s "$work/ffmpeg/track01.mp3")"
echo "load average before: $load_before, after: $load_after ($(nproc) processors)"
