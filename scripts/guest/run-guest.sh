#!/usr/bin/env bash
# Boots the guest made by build-guest.sh, runs the named scenarios in it and unpacks their result
# folders into RESULTS_DIR. The guest's console goes to RESULTS_DIR/console.log.
# Usage: scripts/guest/run-guest.sh RESULTS_DIR SCENARIO...
# Succeeds only when the guest says every scenario ran through: qemu also exits 0 after a kernel
# panic, so nothing but the debug-exit code 3 counts.
set -euo pipefail
root_dir=$(cd "$(dirname "$0")/../.." && pwd)
guest="$root_dir/build/guest"
results=$1
shift
scenarios=$(IFS=,; echo "$*")

rm -rf "$results"
mkdir -p "$results"
# TCG, no microvm: the combination that boots every time on these machines. TAMBRELL_GUEST_CPUS
# sets the number of virtual CPUs (1 by default).
cpus=${TAMBRELL_GUEST_CPUS:-1}
status=0
# The host's root, read-only, is where Wine runs (scripts/guest/scenarios/host_root.sh).
timeout 2400 qemu-system-x86_64 -accel tcg -m 2048 -smp "$cpus" -nodefaults -no-user-config -nographic \
  -serial stdio -serial "file:$results/results.tar" -no-reboot \
  -device isa-debug-exit,iobase=0xf4,iosize=0x04 \
  -virtfs local,path=/,mount_tag=host,security_model=none,readonly=on,multidevs=remap \
  -kernel "$guest/vmlinux" -initrd "$guest/initrd.gz" \
  -append "console=ttyS0 quiet panic=-1 scenarios=$scenarios" \
  < /dev/null > "$results/console.log" 2>&1 || status=$?
# What the scenarios left is unpacked even when one failed, for the comparison to tell which.
tar -x -C "$results" -f "$results/results.tar" 2>/dev/null || true
if [ "$status" -ne 3 ]; then
  echo "guest: qemu ended with status $status (3 means every scenario ran); its console:" >&2
  cat "$results/console.log" >&2
  exit 1
fi
