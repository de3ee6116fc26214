#!/usr/bin/env bash
# Builds the tool and runs it on the sample image in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build alsa
scripts/build-native.sh >/dev/null
cd examples
../build/native/tambrell-update
