#!/usr/bin/env bash
# Installs what is missing, builds Corvane and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF >/dev/null
cmake --build build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display is available: the Corvane window cannot be shown here."
  echo "Start it under a virtual display with:  xvfb-run -a build/src/corvane"
  if [ -x build/src/corvane-cli ]; then
    echo "Or convert from the terminal:           build/src/corvane-cli --help"
  fi
  exit 0
fi
exec build/src/corvane "$@"
