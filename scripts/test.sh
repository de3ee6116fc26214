#!/usr/bin/env bash
# Builds everything and runs every test. Installs what is missing when run as root.
set -euo pipefail
cd "$(dirname "$0")/.."

passed=0
failed=0
step() {
  local start=$SECONDS
  echo "== $1"
  if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "== FAILED: $1"; fi
  echo "== $((SECONDS - start)) s: $1"
}

# The guest's step, started in the background below: its result, its output and its whole time.
wait_for_guest() {
  local status=0
  wait "$guest_pid" || status=$?
  cat "$guest_log"
  echo "(the guest ran $((SECONDS - guest_start)) s, beside the steps before)"
  return "$status"
}

# Everything the steps install, before any runs: the guest's step runs beside others, and two
# apt-get cannot run at once.
scripts/install-deps.sh build alsa mingw reliability wine guest package web
step "Linux build" scripts/build-native.sh
step "Linux tests" ctest --test-dir build/native --output-on-failure -j 2
step "Windows cross-build" scripts/build-windows.sh
step "Benchmark (figures, not a test)" build/native/bench/update_benchmark
step "Guest: the programs as users get them, the guest's kernel and files" scripts/guest/prepare.sh
step "Web benchmark (figures, not a test)" node bench/web/largest_image.mjs

# The guest's emulated CPU is one thread of qemu, and most of the command's time: it runs on one
# core from here on, while every step that needs no more than the other core runs beside it,
# niced so that the guest's pace stays its own. The benchmarks ran before, on a quiet machine. Its
# output follows theirs, whole.
guest_step="MIDI in a guest kernel (USB device; the Linux program, the Windows program under Wine, the page in Chromium and Firefox)"
guest_log=build/guest-step.log
guest_start=$SECONDS
scripts/guest/check.sh >"$guest_log" 2>&1 &
guest_pid=$!
step "Windows tests under Wine" nice -n 19 scripts/test-windows.sh
step "Packages: zip, exe resources, Debian package" nice -n 19 scripts/test-package.sh
step "Web page: the core under Node, the page in headless Chromium and Firefox" nice -n 19 scripts/test-web.sh
step "Sanitizers (ASan+UBSan, TSan)" nice -n 19 scripts/test-sanitizers.sh
step "Fuzzing (60 s a target)" nice -n 19 scripts/fuzz.sh 60
step "Valgrind memcheck" nice -n 19 scripts/valgrind.sh
step "Fault soak (100 updates)" nice -n 19 scripts/soak.sh 100
step "$guest_step" wait_for_guest

echo "steps: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
