#!/usr/bin/env bash
# Installs the Debian 12 packages Corvane builds, runs and tests with. Only what is missing is
# installed, so a machine that has everything needs no package server.
set -euo pipefail
packages=(
  # build
  cmake ninja-build g++ pkg-config ccache
  # libraries
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev
  libsdl2-dev libmp3lame-dev libvorbis-dev libogg-dev libsndfile1-dev libtag1-dev
  libcdio-dev libcdio-paranoia-dev libdiscid-dev libebur128-dev zlib1g-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev clang clang-format libclang-rt-14-dev
  xvfb xauth time procps python3 desktop-file-utils appstream
  # encoders, decoders and judges used by the program and its tests
  ffmpeg sox libsox-fmt-all lame flac musepack-tools wavpack cd-paranoia libcdio-utils
  espeak-ng timidity freepats loudgain python3-mutagen
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
