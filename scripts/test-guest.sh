#!/usr/bin/env bash
# Runs the guest's MIDI scenarios (scripts/guest/scenarios.txt) in a guest kernel booted by qemu:
# the unchanged programs (the Linux program over alsa-lib, the Windows program over Wine's MIDI
# service, the page over Chromium's and Firefox's Web MIDI) and the kernel's USB MIDI driver
# between them and the simulated controller as a USB device. Then compares every scenario with its
# twin on the simulated service, and ends with one line per program.
# Usage: scripts/test-guest.sh [SCENARIO...]   (default: every scenario)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/guest/prepare.sh
exec scripts/guest/check.sh "$@"
