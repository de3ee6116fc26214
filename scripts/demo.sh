#!/usr/bin/env bash
# Builds the tool and runs a whole update of the sample image in examples/ against the simulated
# controller, at the real pace: no hardware needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build alsa
scripts/build-native.sh >/dev/null
cd examples
../build/native/sim/tambrell-update-sim
