#!/usr/bin/env bash
# Feeds damaged files of every input type to `corvane-cli probe`, `convert` and `loudness --tag` (the
# sanitizer build of build-test) and counts crashes, sanitizer reports and hangs. Not part of the
# test command: run it by hand, e.g. CORVANE_FUZZ_MUTANTS=40 scripts/fuzz-cli.sh.
# Seeds are made with the independent tools; each mutant is a seed with random bytes overwritten,
# a block repeated or the end cut off. Failing inputs are kept in build-fuzz-cli/findings/.
set -uo pipefail
cd "$(dirname "$0")/.."
cli=${CORVANE_CLI:-build-test/src/corvane-cli}
mutants=${CORVANE_FUZZ_MUTANTS:-20}
work=build-fuzz-cli
limit=${CORVANE_FUZZ_TIMEOUT:-120}
[ -x "$cli" ] || { echo "build $cli first" >&2; exit 2; }
rm -rf "$work/seeds" "$work/mutants" "$work/out"
mkdir -p "$work/seeds" "$work/mutants" "$work/out" "$work/findings"
export XDG_CONFIG_HOME="$PWD/$work/config"

tone="$work/seeds/tone.wav"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=1.5" -ac 2 -metadata title=Seed \
  -metadata artist=Fuzz "$tone"
seed() {  # seed <extension> <ffmpeg output options...>
  local ext=$1; shift
  ffmpeg -loglevel error -y -i "$tone" "$@" "$work/seeds/seed.$ext" || echo "no $ext seed" >&2
}
seed mp3 -c:a libmp3lame -b:a 128k
seed mp2 -c:a mp2
seed ogg -c:a libvorbis
seed wma -c:a wmav2
seed asf -c:a wmav1 -f asf
seed aiff -c:a pcm_s16be
seed flac -c:a flac
seed aac -c:a aac -f adts
seed m4a -c:a alac
seed mp4 -c:a aac
seed ac3 -c:a ac3
seed tta -c:a tta
seed adx -c:a adpcm_adx -ar 44100
seed wv -c:a wavpack
seed spx -c:a libspeex -ar 16000 -ac 1
cp "$tone" "$work/seeds/seed.wav"
mpcenc --silent --overwrite "$tone" "$work/seeds/seed.mpc" 2>/dev/null || echo "no mpc seed" >&2
"$cli" convert --format ape --output "$work/seeds" --overwrite "$tone" >/dev/null 2>&1 &&
  mv "$work/seeds/tone.APE" "$work/seeds/seed.ape"
rm -f "$tone"

mutate() {  # mutate <seed> <mutant> <kind>
  local size
  size=$(stat -c %s "$1")
  cp "$1" "$2"
  case $3 in
    0)  # random bytes overwritten, denser near the header
      for _ in $(seq 1 $((RANDOM % 16 + 1))); do
        local at=$(( (RANDOM * 32768 + RANDOM) % (RANDOM % 2 ? 512 : size) ))
        printf "\\x$(printf %02x $((RANDOM % 256)))" | dd of="$2" bs=1 seek="$at" conv=notrunc status=none
      done ;;
    1)  # cut off
      head -c $(( (RANDOM * 32768 + RANDOM) % size )) "$1" > "$2" ;;
    2)  # a block repeated in the middle
      local at=$(( (RANDOM * 32768 + RANDOM) % size )) length=$((RANDOM % 4096 + 1))
      { head -c "$at" "$1"; tail -c +"$((at + 1))" "$1" | head -c "$length"; tail -c +"$((at + 1))" "$1"; } > "$2" ;;
  esac
}

formats=(wav mp3 ogg flac mpc wma ape vox)
files=0 crashes=0 hangs=0 reports=0 converted=0 failed=0
check() {  # check <status> <stderr file> <input> <what>
  if [ "$1" -eq 124 ] || [ "$1" -eq 137 ]; then
    hangs=$((hangs + 1)); cp "$3" "$work/findings/"; echo "HANG $4 $3"
  elif [ "$1" -ge 128 ]; then
    crashes=$((crashes + 1)); cp "$3" "$work/findings/"; echo "CRASH($1) $4 $3"
  elif grep -q -e "ERROR: AddressSanitizer" -e "runtime error:" -e "ERROR: LeakSanitizer" "$2"; then
    reports=$((reports + 1)); cp "$3" "$work/findings/"; cp "$2" "$work/findings/$(basename "$3").$4.txt"
    echo "SANITIZER $4 $3"
  fi
}
start=$(date +%s)
for s in "$work"/seeds/seed.*; do
  ext=${s##*.}
  for n in $(seq 1 "$mutants"); do
    m="$work/mutants/m$n-$RANDOM.$ext"
    mutate "$s" "$m" $((n % 3))
    files=$((files + 1))
    timeout -k 5 "$limit" "$cli" probe "$m" >/dev/null 2>"$work/err.txt"
    check $? "$work/err.txt" "$m" probe
    format=${formats[$((files % ${#formats[@]}))]}
    timeout -k 5 "$limit" "$cli" convert --format "$format" --output "$work/out" --overwrite --jobs 1 "$m" \
      >"$work/convert.txt" 2>"$work/err.txt"
    status=$?
    check $status "$work/err.txt" "$m" convert
    grep -q '^Completed' "$work/convert.txt" && converted=$((converted + 1))
    [ $status -eq 1 ] && failed=$((failed + 1))
    rm -f "$work"/out/*
    # Tagging reads the damaged file's own tags; a copy is tagged, the mutant kept as it was.
    cp "$m" "$work/tagged.$ext"
    timeout -k 5 "$limit" "$cli" loudness --tag "$work/tagged.$ext" >/dev/null 2>"$work/err.txt"
    check $? "$work/err.txt" "$m" loudness
  done
done
echo "mutated files: $files (types: $(ls "$work"/seeds | sed 's/.*\.//' | tr '\n' ' '))"
echo "probe, convert and loudness runs: $((files * 3)) in $(( $(date +%s) - start )) s"
echo "converted: $converted, refused or failed cleanly: $failed"
echo "crashes: $crashes, sanitizer reports: $reports, hangs: $hangs"
[ $((crashes + reports + hangs)) -eq 0 ]
