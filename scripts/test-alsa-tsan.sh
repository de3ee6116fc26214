#!/usr/bin/env bash
# Runs the ALSA backend's tests under ThreadSanitizer: its reader thread meets the caller there.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/tsan-alsa -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build build/tsan-alsa --target alsa_tests
TSAN_OPTIONS="halt_on_error=1 exitcode=66" build/tsan-alsa/tests/alsa/alsa_tests --gtest_brief=1
