#!/usr/bin/env bash
# Runs one fuzz target for a bounded time from a seed corpus: real encoder output for the MPEG and
# ID3 readers; small valid and damaged descriptions (the inputs that once crashed image readers
# among them) for the cue, toc and nrg readers.
# Usage: run_fuzzer.sh <fuzzer binary> <mp3info|id3|cue|toc|nrg|wav|picture> <work folder> <seconds>
set -euo pipefail
fuzzer=$1 kind=$2 work=$3 seconds=$4
corpus=$work/corpus
mkdir -p "$corpus" "$work/crashes"
if [ -z "$(ls -A "$corpus")" ] && [[ "$kind" =~ ^(cue|toc|nrg)$ ]]; then
  "$(dirname "$0")/image_seeds.sh" "$kind" "$corpus"
fi
if [ -z "$(ls -A "$corpus")" ] && [ "$kind" = wav ]; then
  # WAVE headers as FFmpeg writes them: plain, extensible (more than two channels), and one with
  # a LIST chunk before the data.
  ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.05" -ac 2 "$corpus/plain.wav"
  ffmpeg -loglevel error -y -i "$corpus/plain.wav" -ac 4 -c:a pcm_s24le "$corpus/extensible.wav"
  ffmpeg -loglevel error -y -i "$corpus/plain.wav" -metadata title=Tone "$corpus/list.wav"
fi
if [ -z "$(ls -A "$corpus")" ] && [ "$kind" = picture ]; then
  # Files with a picture as FFmpeg writes them, behind the byte that picks their kind: MP3, FLAC.
  ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.05" -ac 2 "$work/tone.wav"
  ffmpeg -loglevel error -y -f lavfi -i "color=c=red:s=8x8" -frames:v 1 "$work/cover.png"
  for kind_byte in 0:mp3 1:flac; do
    ffmpeg -loglevel error -y -i "$work/tone.wav" -i "$work/cover.png" -map 0 -map 1 -c:v copy \
      -disposition:v attached_pic "$work/seed.${kind_byte#*:}"
    { printf "\\x0${kind_byte%%:*}"; cat "$work/seed.${kind_byte#*:}"; } >"$corpus/${kind_byte#*:}"
  done
  cp "$work/cover.png" "$corpus/png"
fi
if [ -z "$(ls -A "$corpus")" ]; then
  tone="$work/tone.wav"
  ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.3" -ac 2 "$tone"
  lame --quiet -b 128 "$tone" "$corpus/cbr.mp3"
  lame --quiet -V 2 "$tone" "$corpus/vbr.mp3"
  lame --quiet -m m --resample 8 -b 16 --tt Title --ta Artist --tg Jazz "$tone" "$corpus/low.mp3"
  ffmpeg -loglevel error -y -i "$tone" -c:a mp2 -f mp2 "$corpus/layer2.mp2"
  if [ "$kind" = id3 ]; then
    ffmpeg -loglevel error -y -i "$tone" -c:a libmp3lame -id3v2_version 3 -metadata title="Zoë" \
      -metadata artist="Группа" -metadata genre="Rock" "$corpus/id3v23.mp3"
    printf 'TAGTitle\x1fArtist\x1fAlbum\x1f1999\x1fComment\x1f7/12\x1fhip-hop' > "$corpus/texts"
  fi
  rm -f "$tone"
fi
exec "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -timeout=10 \
  -artifact_prefix="$work/crashes/" -print_final_stats=1 "$corpus"
