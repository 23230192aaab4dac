# Sourced by benchmark scripts: music_wav PATH RATE SECONDS writes a music-like 16-bit stereo WAV
# (plucked chords over pink noise, the right channel quieter), broadband like real music.
music_wav() {
  sox -n -r "$2" -c 2 -b 16 "$1" synth 0.25 pluck C3 pluck E4 pluck G4 pluck B5 \
    synth 0.25 pinknoise mix gain -n -3 repeat $(($3 * 4 - 1)) remix 1 1v0.7
}

# music_disc DIR TRACKS SECONDS: DIR/disc.cue and DIR/disc.bin, a disc of TRACKS tracks of the
# same music at a different level each, back to back.
music_disc() {
  local dir=$1 tracks=$2 seconds=$3 i start
  music_wav "$dir/music.wav" 44100 "$seconds"
  printf 'FILE "disc.bin" BINARY\n' >"$dir/disc.cue"
  : >"$dir/disc.bin"
  for ((i = 1; i <= tracks; i++)); do
    sox "$dir/music.wav" -t raw -e signed -b 16 -L - gain "-$i" >>"$dir/disc.bin"
    start=$(((i - 1) * seconds))
    printf '  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:00\n' "$i" $((start / 60)) $((start % 60)) >>"$dir/disc.cue"
  done
  rm "$dir/music.wav"
}
