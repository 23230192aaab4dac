# Sourced by benchmark scripts: music_wav PATH RATE SECONDS writes a music-like 16-bit stereo WAV
# (plucked chords over pink noise, the right channel quieter), broadband like real music.
music_wav() {
  sox -n -r "$2" -c 2 -b 16 "$1" synth 0.25 pluck C3 pluck E4 pluck G4 pluck B5 \
    synth 0.25 pinknoise mix gain -n -3 repeat $(($3 * 4 - 1)) remix 1 1v0.7
}
