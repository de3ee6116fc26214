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

scripts/install-deps.sh build alsa mingw reliability
step "Linux build" scripts/build-native.sh
step "Linux tests" ctest --test-dir build/native --output-on-failure -j 2
step "Windows cross-build" scripts/build-windows.sh
step "Windows tests under Wine" scripts/test-windows.sh
step "Packages: zip, exe resources, Debian package" scripts/test-package.sh
step "Web page: the core under Node, the page in headless Chromium and Firefox" scripts/test-web.sh
step "Benchmark (figures, not a test)" build/native/bench/update_benchmark
step "Web benchmark (figures, not a test)" node bench/web/largest_image.mjs
step "MIDI in a guest kernel (USB device; the Linux program, the Windows program under Wine, the page in Chromium and Firefox)" \
  scripts/test-guest.sh
step "Sanitizers (ASan+UBSan, TSan)" scripts/test-sanitizers.sh
step "Fuzzing (60 s a target)" scripts/fuzz.sh 60
step "Valgrind memcheck" scripts/valgrind.sh
step "Fault soak (100 updates)" scripts/soak.sh 100

echo "steps: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
