#!/usr/bin/env bash
# Runs the whole test suite under AddressSanitizer+UndefinedBehaviorSanitizer and again under
# ThreadSanitizer (the end-to-end runs put the MIDI callback thread against the polling main
# thread). Every process, the tools the end-to-end tests start included, writes any report to a
# file; the run passes only when the tests pass and no report was written at all. Every kind asked
# for runs, whatever an earlier one found, and the last lines say how each went.
# Usage: scripts/test-sanitizers.sh [asan|tsan]...   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."

run_suite() {
  local kind=$1 reports="build/$1/sanitizer-reports"
  scripts/build-sanitized.sh "$kind" || return 1
  rm -rf "$reports" && mkdir -p "$reports"
  # Quoted: the checkout's path may hold a space, which ends a sanitizer option otherwise.
  local log_path="log_path='$PWD/$reports/$kind'"
  local status=0
  ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:strict_string_checks=1:$log_path" \
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:$log_path" \
  TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:$log_path" \
    ctest --test-dir "build/$kind" --output-on-failure -j 2 || status=$?
  if compgen -G "$reports/*" >/dev/null; then
    cat "$reports"/* >&2
    echo "$kind: sanitizer reports written (above)" >&2
    status=1
  fi
  return "$status"
}

kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(asan tsan)
results=() status=0
for kind in "${kinds[@]}"; do
  if run_suite "$kind"; then results+=("$kind: passed"); else results+=("$kind: FAILED"); status=1; fi
done
printf '%s\n' "${results[@]}"
exit "$status"
