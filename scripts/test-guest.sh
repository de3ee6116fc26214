#!/usr/bin/env bash
# Runs the Linux MIDI scenarios in a guest kernel booted by qemu: the real raw MIDI and sequencer
# drivers between the tool and the simulated device.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build alsa guest
scripts/build-native.sh > /dev/null

bin=build/native
scenario_files=()
for script in scripts/guest/scenarios/*.sh; do
  scenario_files+=(-f "$script=scenarios/$(basename "$script")")
done
scripts/guest/build-guest.sh "${scenario_files[@]}" "$bin/tools/seq-device/seq-device" "$(command -v amidi)"
scripts/guest/run-guest.sh build/guest-results link
echo "guest: link passed"
