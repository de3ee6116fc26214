#!/usr/bin/env bash
# The page and the core as WebAssembly: the core's tests under Node (build/web, build/web-threads,
# run by CTest as the Windows build's run under Wine), then the page in headless Chromium against
# the simulated controller, each scenario held against the Linux program's run of it on the
# simulated service, and the same scenarios in headless Firefox. Ends with the lines
# `browser scenarios: N passed, N failed` (Chromium) and `firefox scenarios: N passed, N failed`.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/lib.sh
scripts/install-deps.sh build web || exit 1
scripts/build-web.sh --tests || exit 1
# The scenarios' twins: the Linux program on the simulated service.
scripts/build-native.sh tambrell-update-sim >/dev/null || exit 1

status=0
for build in build/web build/web-threads; do
  echo "-- $build: the core's tests under Node"
  ctest --test-dir "$build" -j 2 --timeout 120 --output-on-failure || status=1
done

web_packages || exit 1
# One line per browser: `NAME scenarios: N passed, N failed`.
scenarios() {
  local browser=$1 label=$2 log=build/web/$1-scenarios.log passed failed
  echo "-- the page in headless $browser"
  TAMBRELL_BROWSER=$browser node --test --test-reporter=spec tests/web/scenarios.test.mjs 2>&1 |
    tee "$log" | grep -E '^(✔|✖)' || true
  passed=$(sed -n 's/^ℹ pass //p' "$log")
  failed=$(sed -n 's/^ℹ fail //p' "$log")
  if [ -z "$passed" ] || [ "${failed:-1}" -ne 0 ]; then
    sed -n '/^✖ failing tests/,$p' "$log"
    status=1
  fi
  summary+=("$label scenarios: ${passed:-0} passed, ${failed:-0} failed")
}
summary=()
scenarios chromium browser
scenarios firefox firefox
printf '%s\n' "${summary[@]}"
exit $status
