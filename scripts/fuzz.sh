#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build folder (build-fuzz) and runs each
# for a bounded time (CORVANE_FUZZ_SECONDS, default 60). Crashing inputs land in
# build-fuzz/tests/fuzz/work-*/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
seconds=${CORVANE_FUZZ_SECONDS:-60}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_COMPILER=clang -DCORVANE_SANITIZE=ON -DCORVANE_FUZZ=ON -DCORVANE_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build "$build" -j2 --target mp3info_fuzz id3_fuzz cue_fuzz toc_fuzz nrg_fuzz wav_fuzz picture_fuzz
ctest --test-dir "$build" --output-on-failure -L fuzz "$@"
