#!/usr/bin/env bash
# Fuzzes each target for a while with libFuzzer under ASan+UBSan, starting from its seed corpus
# in tests/fuzz/. The corpus grown here stays in build/fuzz/; an input that fails is left in
# build/fuzz/artifacts/ and the script fails.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default: 60, every target)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(image reply)

scripts/build-sanitized.sh asan
# The image target writes each input to a file: in memory that is ten times faster.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
mkdir -p build/fuzz/artifacts
status=0
for target in "${targets[@]}"; do
  # Absolute paths: a target may change its current folder.
  corpus="$PWD/build/fuzz/$target-corpus"
  mkdir -p "$corpus"
  cp "tests/fuzz/${target}_corpus"/* "$corpus"/
  echo "fuzz: $target for $seconds s"
  # stdout closed: the tool's console text would drown libFuzzer's figures.
  if ! ASAN_OPTIONS="halt_on_error=1:detect_leaks=1" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    "build/asan/tests/fuzz/${target}_fuzzer" "$corpus" -max_total_time="$seconds" -max_len=8192 \
    -timeout=10 -close_fd_mask=1 -print_final_stats=1 \
    -artifact_prefix="$PWD/build/fuzz/artifacts/$target-" 2>"build/fuzz/$target.log"; then
    tail -n 60 "build/fuzz/$target.log" >&2
    echo "fuzz: $target FAILED; reproducer in build/fuzz/artifacts/" >&2
    status=1
    continue
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
    "build/fuzz/$target.log" || true
  grep -E '^#[0-9]+.*DONE' "build/fuzz/$target.log" | tail -n 1 || true
done
exit "$status"
