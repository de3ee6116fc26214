#!/usr/bin/env bash
# Builds the tool and runs a whole update of the sample image in examples/ against the simulated
# controller, at the real pace: no hardware needed. With --windows11 the controller sits among the
# MIDI ports of a default Windows 11 PC, and the tool finds it first.
# Usage: scripts/demo.sh [--windows11]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build alsa
echo "demo: building the tool with the simulated controller (the first time takes a minute or two)"
scripts/build-native.sh tambrell-update-sim
cd examples
if [ "${1:-}" = --windows11 ]; then
  TAMBRELL_SIM="preset=windows11" ../build/native/backends/sim/tambrell-update-sim --list
  export TAMBRELL_SIM="preset=windows11"
fi
../build/native/backends/sim/tambrell-update-sim
