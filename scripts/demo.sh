#!/usr/bin/env bash
# Builds the tool and runs a whole update of the sample image in examples/ against the simulated
# controller, at the real pace: no hardware needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build alsa
echo "demo: building the tool with the simulated controller (the first time takes a minute or two)"
scripts/build-native.sh tambrell-update-sim
cd examples
../build/native/sim/tambrell-update-sim
