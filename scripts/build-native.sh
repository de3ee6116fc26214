#!/usr/bin/env bash
# Configures and builds the Linux programs and tests in build/native.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native
