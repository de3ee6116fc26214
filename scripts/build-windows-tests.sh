#!/usr/bin/env bash
# Cross-compiles the test programs as Windows code into build/wine, with the simulator linked in
# place of winmm. Usage: scripts/build-windows-tests.sh [TARGET...]   (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/wine -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo --no-warn-unused-cli >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build/wine -j 2 "${targets[@]}" >/dev/null
