#!/usr/bin/env bash
# Configures and builds the Linux programs and tests in build/native.
# Usage: scripts/build-native.sh [TARGET...]   (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build/native "${targets[@]}"
