#!/usr/bin/env bash
# Configures and builds everything with clang under a sanitizer, in build/asan or build/tsan.
# Usage: scripts/build-sanitized.sh asan|tsan
#   asan: AddressSanitizer and UndefinedBehaviorSanitizer, libFuzzer coverage, and the fuzzers
#   tsan: ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

common="-g -O1 -fno-omit-frame-pointer"
case "${1:-}" in
  asan) flags="$common -fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link"
        fuzz=ON ;;
  tsan) flags="$common -fsanitize=thread"
        fuzz=OFF ;;
  *) echo "usage: $0 asan|tsan" >&2; exit 2 ;;
esac

cmake -S . -B "build/$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="${flags/-fsanitize=fuzzer-no-link/}" -DTAMBRELL_FUZZ="$fuzz" >/dev/null
cmake --build "build/$1" -j 2
