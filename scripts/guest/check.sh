#!/usr/bin/env bash
# Boots the guest that scripts/guest/prepare.sh made, runs the named scenarios in it (every one by
# default), compares each with its twin on the simulated service, and ends with one line per
# program. Removes the share that prepare.sh made.
# Usage: scripts/guest/check.sh [SCENARIO...]
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh
[ -s build/guest/share-dir ] || { echo "check: no guest prepared (scripts/guest/prepare.sh)" >&2; exit 1; }
trap remove_guest_share EXIT

bin=build/native
images=build/guest/images
results=build/guest-results
# Named scenarios only, when given (a developer's quick look); every one otherwise.
scenarios=${*:-$(grep -v '^#' scripts/guest/scenarios.txt | cut -d'|' -f1 | tr -d ' ' | grep .)}
only=$(printf '*/%s:' $scenarios)
# The link first, alone, without the tool; then the time the search for the controller takes.
guest=0
scripts/guest/run-guest.sh "$results" usb_link usb_search_time $scenarios || guest=1
compared=0
TAMBRELL_GUEST_RESULTS="$results" TAMBRELL_GUEST_IMAGES="$images" \
  "$bin/tests/guest/guest_scenarios_test" --gtest_filter="${only%:}" | tee "$results/compared.txt" || compared=1
# How long the answers took to come back as the device saw them (answer out, the host's next frame
# in): the waits of the programs must cover them.
for trips in "$results"/*/round-trips*.txt; do
  [ -s "$trips" ] || continue
  device=$(basename "$trips" .txt)
  sort -n "$trips" | awk -v name="$(basename "$(dirname "$trips")") device ${device#round-trips}" '
    { ms[NR] = $1; if ($1 > 50) late++ }
    END { printf "round trips, %s: %d answers, median %d ms, 99th percentile %d ms, max %d ms, %d over 50 ms\n",
                 name, NR, ms[int((NR + 1) / 2)], ms[int(NR * 0.99 + 0.999)], ms[NR], late }'
done
# The search among a Windows 11 PC's loopbacks, against the controller alone (median of three).
if [ -s "$results/usb_search_time/search-ms.txt" ]; then
  median() { grep "^$1 " "$results/usb_search_time/search-ms.txt" | cut -d' ' -f2 | sort -n | sed -n 2p; }
  echo "finding the controller, Linux program's --list: alone $(median alone) ms," \
    "among a Windows 11 PC's three loopbacks $(median loopbacks) ms"
fi
count() { grep -o "^\[ *$1 *\] $2/[^ ,]*" "$results/compared.txt" | sort -u | wc -l; }
echo "usb scenarios: $(count OK Usb) passed, $(count FAILED Usb) failed"
echo "wine scenarios: $(count OK Wine) passed, $(count FAILED Wine) failed"
echo "web scenarios: $(count OK Web) passed, $(count FAILED Web) failed"
[ "$guest" -eq 0 ] && [ "$compared" -eq 0 ]
