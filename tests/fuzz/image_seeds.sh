#!/usr/bin/env bash
# Writes the seed corpus of a disc image reader's fuzz target: small valid descriptions of each
# layout, and the damaged ones that crashed or hung image readers before.
# Usage: image_seeds.sh <cue|toc|nrg> <corpus folder>
set -euo pipefail
kind=$1 corpus=$2
mkdir -p "$corpus"
case "$kind" in
cue)
  printf 'REM GENRE Rock\nPERFORMER "Artist"\nTITLE "Album"\nFILE "disc.bin" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 00 00:10:00\n    INDEX 01 00:12:00\n' >"$corpus/single.cue"
  printf '\xef\xbb\xbfTITLE "Bj\xc3\xb6rk"\r\nFILE "01.flac" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    INDEX 00 04:12:40\r\nFILE "02.flac" WAVE\r\n    INDEX 01 00:00:00\r\n' >"$corpus/appended.cue"
  printf 'FILE "1.wav" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\nFILE "2.wav" WAVE\n TRACK 02 AUDIO\n  PREGAP 00:02:00\n  INDEX 00 00:00:00\n  INDEX 01 00:02:00\n  POSTGAP 00:01:00\n' >"$corpus/prepended.cue"
  printf 'FILE "mixed.bin" BINARY\n TRACK 01 MODE1/2048\n  INDEX 01 00:00:00\n TRACK 02 AUDIO\n  FLAGS DCP PRE\n  ISRC USXXX0100001\n  INDEX 01 00:04:00\n  INDEX 02 00:09:00\n' >"$corpus/data.cue"
  printf 'FILE "disc.bin" BINARY\nTRACK 99 AUDIO\nINDEX 01 00:00:00\nTRACK 100 AUDIO\nINDEX 01 00:01:00\n' >"$corpus/track-100.cue"
  printf 'FILE "disc.bin" BINARY\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n' >"$corpus/no-index-01.cue"
  ;;
toc)
  printf 'CD_DA\nCD_TEXT {\n  LANGUAGE_MAP { 0 : EN }\n  LANGUAGE 0 { TITLE "Caf\\303\\251" PERFORMER "Band" }\n}\nTRACK AUDIO\nCOPY\nSILENCE 00:10:00\nFILE "disc.bin" 0 00:03:25\nSTART 00:13:25\nINDEX 00:01:00\nTRACK AUDIO\nPREGAP 00:02:00\nFILE "disc.bin" #2352 00:30:00 1000\nZERO 588\n' >"$corpus/arithmetic.toc"
  printf 'CD_ROM\nTRACK MODE1_RAW\nDATAFILE "data.bin" 00:04:00\nZERO 00:02:00\nTRACK AUDIO\nSILENCE 00:02:00\nSTART\nFILE "audio.wav" 0\n' >"$corpus/mixed.toc"
  printf 'CD_DA\nTRACK AUDIO\nSILENCE 0:0:74\n' >"$corpus/only-silence.toc"
  { printf 'CD_DA\n'; for _ in $(seq 100); do printf 'TRACK AUDIO\nFILE "disc.bin" 0 00:00:10\n'; done; } >"$corpus/100-tracks.toc"
  ;;
nrg)
  python3 - "$corpus" <<'PY'
import struct, sys
corpus = sys.argv[1]
def chunk(name, data): return name + struct.pack('>I', len(data)) + data
def packs(kind, strings):
    text = b''.join(s + b'\0' for s in strings)
    out = b''
    for seq, at in enumerate(range(0, len(text), 12)):
        out += bytes([kind, 0, seq, 0]) + text[at:at + 12].ljust(12, b'\0') + b'\0\0'
    return out
sector = 2352
data = (bytes(range(256)) * 28)[:3 * sector]
cues = struct.pack('>BBBBi', 1, 0, 0, 0, -150)
dao = bytes(4) + b'0123456789012' + bytes(3) + bytes([1, 1])
cues += struct.pack('>BBBBi', 1, 1, 0, 0, 0) + struct.pack('>BBBBi', 1, 1, 1, 0, 0) + struct.pack('>BBBBi', 1, 0xAA, 1, 0, 3)
dao += b'USXXX0100001' + struct.pack('>HHHQQQ', sector, 0x0700, 1, 0, 0, 3 * sector)
table = chunk(b'CUEX', cues) + chunk(b'DAOX', dao) + chunk(b'CDTX', packs(0x80, [b'Disc', b'One']) + packs(0x81, [b'Band', b'\t'])) \
    + chunk(b'SINF', struct.pack('>I', 1)) + chunk(b'MTYP', struct.pack('>I', 1)) + chunk(b'END!', b'')
open(f'{corpus}/dao-cdtext.nrg', 'wb').write(data + table + b'NER5' + struct.pack('>Q', len(data)))
etnf = struct.pack('>IIIII', 0, 2 * sector, 7, 0, 0)
tao = bytes(2 * sector) + chunk(b'ETNF', etnf) + chunk(b'END!', b'')
open(f'{corpus}/tao.nrg', 'wb').write(tao + b'NERO' + struct.pack('>I', 2 * sector))
lying = data + chunk(b'CUEX', cues)[:4] + struct.pack('>I', 0xFFFFFFF0) + cues + b'NER5' + struct.pack('>Q', len(data))
open(f'{corpus}/lying-length.nrg', 'wb').write(lying)
PY
  ;;
esac
