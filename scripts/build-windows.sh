#!/usr/bin/env bash
# Cross-compiles the 32-bit Windows program into build/windows/tambrell-update.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTAMBRELL_TESTS=OFF >/dev/null
cmake --build build/windows
