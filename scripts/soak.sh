#!/usr/bin/env bash
# The fault soak: RUNS whole updates against the simulated device with random faults, every one
# checked (tests/soak/soak_invariants.h). CI runs 100; the full soak is 2,000 a seed.
# Usage: scripts/soak.sh [RUNS] [SEED]   (default: 2000 runs, seed 1)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-native.sh >/dev/null
build/native/tests/soak/fault_soak "${1:-2000}" "${2:-1}"
