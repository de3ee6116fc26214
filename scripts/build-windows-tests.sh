#!/usr/bin/env bash
# Cross-compiles the test programs as Windows code, with the simulator linked in place of winmm:
# 32-bit into build/wine, 64-bit into build/wine64.
# Usage: scripts/build-windows-tests.sh 32|64 [TARGET...]   (default: all targets)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
bits=$1
shift
build=$(windows_build "$bits" wine)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(windows_toolchain "$bits")" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo --no-warn-unused-cli >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$build" -j 2 "${targets[@]}" >/dev/null
