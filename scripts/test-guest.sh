#!/usr/bin/env bash
# Runs the Linux MIDI scenarios (scripts/guest/scenarios.txt) in a guest kernel booted by qemu:
# the unchanged tool, alsa-lib and the kernel's raw MIDI and sequencer drivers between it and the
# simulated controller. Then compares every scenario with its twin on the simulated service.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build alsa guest
scripts/build-native.sh > /dev/null

bin=build/native
images=build/guest/images
mkdir -p "$images"
cp examples/quillstrand_v1.2.kit "$images/"
scripts/guest/make-largest-image.sh "$images/quillstrand_max.kit"

files=(-f scripts/guest/scenarios.txt=scenarios/scenarios.txt)
for script in scripts/guest/scenarios/*.sh; do files+=(-f "$script=scenarios/$(basename "$script")"); done
for image in "$images"/*.kit; do files+=(-f "$image=images/$(basename "$image")"); done
scripts/guest/build-guest.sh "${files[@]}" \
  "$bin/tambrell-update" "$bin/tools/seq-device/seq-device" "$(command -v amidi)"

scenarios=$(grep -v '^#' scripts/guest/scenarios.txt | cut -d'|' -f1 | tr -d ' ' | grep .)
# "link" first: the link alone, without the tool.
scripts/guest/run-guest.sh build/guest-results link $scenarios
TAMBRELL_GUEST_RESULTS=build/guest-results TAMBRELL_GUEST_IMAGES="$images" \
  "$bin/tests/guest/guest_scenarios_test"
