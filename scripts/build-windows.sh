#!/usr/bin/env bash
# Cross-compiles the Windows programs: the 32-bit one into build/windows/tambrell-update.exe, the
# 64-bit one into build/windows64/tambrell-update.exe.
# Usage: scripts/build-windows.sh [32|64]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
for bits in ${1:-32 64}; do
  build=$(windows_build "$bits" windows)
  # The toolchain file counts only when the folder is first configured: later runs would warn that
  # it went unused.
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(windows_toolchain "$bits")" \
    -DCMAKE_BUILD_TYPE=Release -DTAMBRELL_TESTS=OFF --no-warn-unused-cli >/dev/null
  cmake --build "$build"
done
