#!/usr/bin/env bash
# Encoding speed of our Monkey's Audio encoder per level on 1 and 2 threads, against flac -5,
# flac -8 and wavpack -h, on 10 minutes of music-like material (a generated MIDI song rendered
# by timidity). Whole-process times, best of RUNS runs: wall clock and CPU (user + system),
# the latter being the steadier figure on a shared machine; "vs flac -5" is flac -5's wall
# time over ours (1.00: as fast). Every .ape is checked with ffmpeg, and the 2-thread file
# must equal the 1-thread one byte for byte.
#
#   [RUNS=3] [SECONDS_OF_AUDIO=600] bench/ape_encode_bench.sh [BUILD_DIR]   (default: build-release)
#   configure: cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
#              -DCORVANE_BENCH=ON -DCORVANE_TESTS=OFF && cmake --build build-release --target ape_encode_bench
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build-release}"
encoder="$build/bench/ape_encode_bench"
seconds="${SECONDS_OF_AUDIO:-600}"
runs="${RUNS:-3}"
[[ -x "$encoder" ]] || { echo "missing $encoder (build the ape_encode_bench target first)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A 4/4 song at 120 bpm: piano chords, arpeggio, bass, strings and drums over a changing
# progression, 2 seconds a bar.
python3 - "$work/song.mid" $((seconds / 2 + 2)) <<'PY'
import random, struct, sys
path, bars = sys.argv[1], int(sys.argv[2])
random.seed(7)
events = []  # (tick, bytes)
q = 96
def note(t, ch, n, v, length):
    events.append((t, bytes([0x90 | ch, n, v])))
    events.append((t + length, bytes([0x80 | ch, n, 0])))
for ch, program in ((0, 0), (1, 33), (2, 48), (3, 73)):
    events.append((0, bytes([0xC0 | ch, program])))
progression = [60, 57, 53, 55, 62, 59, 55, 57]
for bar in range(bars):
    t0 = bar * 4 * q
    root = progression[bar % len(progression)] + (2 if (bar // 16) % 2 else 0)
    chord = [root, root + (3 if bar % 3 == 1 else 4), root + 7]
    for n in chord:
        note(t0, 2, n - 12, 55, 4 * q)
    for beat in range(4):
        t = t0 + beat * q
        for n in chord:
            note(t, 0, n + 12 * (beat % 2), 70 + random.randrange(30), q // 2)
        note(t, 1, root - 24 + (7 if beat == 3 else 0), 100, q - 8)
        note(t, 9, 38 if beat % 2 else 36, 110, q // 4)
        note(t, 9, 42, 70, q // 4)
        note(t + q // 2, 9, 42, 60, q // 4)
        note(t + q // 2, 3, random.choice(chord) + 12 + random.choice((0, 2, 5)), 80, q // 2)
events.append((bars * 4 * q + q, b"\xff\x2f\x00"))
events.sort(key=lambda e: e[0])
track, last = bytearray(), 0
for t, data in events:
    delta, vlq = t - last, [t - last & 0x7F]
    last = t
    delta >>= 7
    while delta:
        vlq.insert(0, 0x80 | (delta & 0x7F))
        delta >>= 7
    track += bytes(vlq) + data
track = b"\x00\xff\x51\x03\x07\xa1\x20" + track
with open(path, "wb") as f:
    f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, q) + b"MTrk" + struct.pack(">I", len(track)) + track)
PY
timidity -c /etc/timidity/freepats.cfg -idq -Ow -s 44100 -o "$work/render.wav" "$work/song.mid" >/dev/null
sox "$work/render.wav" -b 16 -c 2 "$work/song.wav" trim 0 "$seconds"
wav_bytes=$(stat -c %s "$work/song.wav")
reference=$(ffmpeg -v error -i "$work/song.wav" -f s16le - | md5sum | cut -d' ' -f1)

# Best wall-clock seconds, best CPU seconds and the peak memory of RUNS runs of a command.
best_time() {
  local wall="" cpu="" rss=0 elapsed user system kb
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>&1
    read -r elapsed user system kb <"$work/time"
    local used
    used=$(awk "BEGIN{print $user + $system}")
    if [[ -z "$wall" ]] || awk "BEGIN{exit !($elapsed < $wall)}"; then wall=$elapsed; fi
    if [[ -z "$cpu" ]] || awk "BEGIN{exit !($used < $cpu)}"; then cpu=$used; fi
    (( kb > rss )) && rss=$kb
  done
  echo "$wall $cpu $rss"
}

speed() { awk "BEGIN{printf \"%.1f\", $seconds / ($1 > 0 ? $1 : 0.01)}"; }

printf "input: %d s of 44.1 kHz 16-bit stereo, %d bytes; best of %d runs; %d processors, load average %s\n\n" \
  "$seconds" "$wav_bytes" "$runs" "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-14s %7s %10s %7s %10s %10s %7s %9s %10s\n" "encoder" "wall s" "x realtime" "CPU s" "x realtime" "bytes" \
  "to WAV" "peak RSS" "vs flac -5"
flac5_wall=""
row() {
  local name=$1 out=$2
  shift 2
  read -r wall cpu rss < <(best_time "$@")
  [[ -n "$flac5_wall" ]] || flac5_wall=$wall
  local bytes
  bytes=$(stat -c %s "$out")
  printf "%-14s %7.2f %10s %7.2f %10s %10d %7.4f %6d kB %10.2f\n" "$name" "$wall" "$(speed "$wall")" "$cpu" \
    "$(speed "$cpu")" "$bytes" "$(awk "BEGIN{print $bytes / $wav_bytes}")" "$rss" \
    "$(awk "BEGIN{print $flac5_wall / ($wall > 0 ? $wall : 0.01)}")"
}
row "flac -5" "$work/song5.flac" flac -s -f -5 -o "$work/song5.flac" "$work/song.wav"
row "flac -8" "$work/song8.flac" flac -s -f -8 -o "$work/song8.flac" "$work/song.wav"
row "wavpack -h" "$work/song.wv" wavpack -q -y -h "$work/song.wav" -o "$work/song.wv"
for level in 1000 2000 3000 4000 5000; do
  for threads in 1 2; do
    out="$work/song$level-$threads.ape"
    row "ape $level x$threads" "$out" "$encoder" "$work/song.wav" "$out" "$level" "$threads"
  done
  decoded=$(ffmpeg -v error -err_detect crccheck+explode -i "$work/song$level-1.ape" -f s16le - | md5sum | cut -d' ' -f1)
  [[ "$decoded" == "$reference" ]] || echo "  !! level $level does not decode to the input"
  cmp -s "$work/song$level-1.ape" "$work/song$level-2.ape" || echo "  !! level $level: 2 threads wrote another file"
done
