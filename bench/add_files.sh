#!/usr/bin/env bash
# Adding 1,000 short files (MP3, WAV and FLAC mixed) to the conversion list in one process,
# against `ffprobe -show_format -show_streams` run once per file (what a script would do to
# learn the same). Builds a release configuration in build-bench, makes the files in a
# temporary folder and prints the time in all and per file of both.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${ADD_FILES:-1000}
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target add_files_bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/src" "$work/files"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=2:sample_rate=44100" -ac 2 "$work/src/s.wav"
ffmpeg -loglevel error -i "$work/src/s.wav" -c:a libmp3lame -b:a 128k "$work/src/s.mp3"
ffmpeg -loglevel error -i "$work/src/s.wav" -c:a flac "$work/src/s.flac"
kinds=(mp3 wav flac)
for n in $(seq 1 "$count"); do
  kind=${kinds[$((n % 3))]}
  cp "$work/src/s.$kind" "$work/files/$(printf 'file%04d' "$n").$kind"
done

echo "Files: $count files of 2 s, MP3, WAV and FLAC in turn"
"$build/bench/add_files_bench" "$work/files" >/dev/null  # warm the page cache
"$build/bench/add_files_bench" "$work/files"
start=$(date +%s%N)
for f in "$work"/files/*; do
  ffprobe -v error -show_format -show_streams "$f" >/dev/null
done
end=$(date +%s%N)
awk -v n="$count" -v ns="$((end - start))" \
  'BEGIN { printf "ffprobe -show_format -show_streams: %d files in %.3f s, %.3f ms per file\n", n, ns / 1e9, ns / 1e6 / n }'
