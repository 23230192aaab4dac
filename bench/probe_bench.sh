#!/usr/bin/env bash
# Probing 1,000 MP3 files: DescribeAudioFile (in one process, as the conversion list adds a
# folder) against `ffprobe -show_format -show_streams` run once per file (what a user or a
# script would do). Builds a release configuration in build-bench, makes the files in a
# temporary folder and prints the time per file of both.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${PROBE_FILES:-1000}
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target probe_bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/src" "$work/mp3"
# Ten kinds of file (CBR, VBR, MPEG-2 and 2.5 rates, mono, ID3v2 and ID3v1 tags), 3 s each.
ffmpeg -loglevel error -f lavfi -i "anoisesrc=color=pink:duration=3:sample_rate=44100:seed=1" -ac 2 "$work/src/a.wav"
variants=(
  "-b 128" "-b 320" "-V 2" "-V 6" "--abr 160" "-m m -b 64"
  "--resample 22.05 -b 64" "--resample 8 -m m -b 16" "--tt Title --ta Artist --add-id3v2 -b 192" "--id3v1-only --tt T -b 96"
)
i=0
for options in "${variants[@]}"; do
  # shellcheck disable=SC2086
  lame --quiet $options "$work/src/a.wav" "$work/src/v$i.mp3"
  i=$((i + 1))
done
for n in $(seq 1 "$count"); do
  cp "$work/src/v$((n % ${#variants[@]})).mp3" "$work/mp3/$(printf 'file%04d.mp3' "$n")"
done

echo "Files: $count MP3 files of 3 s in ${#variants[@]} encodings"
"$build/bench/probe_bench" "$work/mp3"          # warm the page cache
"$build/bench/probe_bench" "$work/mp3"
start=$(date +%s%N)
for f in "$work"/mp3/*.mp3; do
  ffprobe -v error -show_format -show_streams "$f" >/dev/null
done
end=$(date +%s%N)
awk -v n="$count" -v ns="$((end - start))" \
  'BEGIN { printf "ffprobe -show_format -show_streams: %d files in %.0f ms, %.3f ms per file\n", n, ns / 1e6, ns / 1e6 / n }'
