#!/usr/bin/env bash
# Builds everything and runs every test. Installs what is missing when run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

passed=0
failed=0
declare -A step_failed
# step NAME [--after STEP]... COMMAND...: runs and counts one step. A step after one that failed
# (a build) is counted failed without running: it would test what an earlier build left.
# Programs run in the background, where Ctrl-C does not reach them: the signal is taken here at
# once, and their processes are ended whole (a step ended alone by Ctrl-C would leave its children
# out of reach). Functions (the set-up, the wait for the guest) run in this shell.
step() {
  local name=$1 start=$SECONDS status=0 unrun=
  shift
  echo "== $name"
  while [ "$1" = --after ]; do
    [ -n "${step_failed[$2]:-}" ] && unrun=" (not run: '$2' failed)"
    shift 2
  done
  if [ -n "$unrun" ]; then
    status=1
  elif declare -F "$1" >/dev/null; then
    "$@" || status=$?
  else
    "$@" &
    wait $! || status=$?
  fi
  if [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    step_failed[$name]=1
    echo "== FAILED: $name$unrun"
  fi
  echo "== $((SECONDS - start)) s: $name"
}

# Ctrl-C or SIGTERM ends every process the command started, the guest's qemu and the browsers
# among them (`timeout` and the browsers' drivers give them process groups of their own), and
# removes the guest's share.
descendants() {
  ps -e -o pid=,ppid= | awk -v root=$$ '{ parent[$1] = $2 }
    END { for (pid in parent) { p = pid; while (p in parent && p != root) p = parent[p]
                                if (p == root && pid != root) print pid } }'
}
interrupted() {
  trap '' INT TERM
  local pids tries=50
  pids=$(descendants | paste -sd,)
  kill -TERM ${pids//,/ } 2>/dev/null || true
  while [ $tries -gt 0 ] && ps -o stat= -p "$pids" 2>/dev/null | grep -qv '^Z'; do
    sleep 0.2
    tries=$((tries - 1))
  done
  kill -KILL ${pids//,/ } 2>/dev/null || true
  remove_guest_share
  echo "== interrupted"
  exit "$1"
}
trap 'interrupted 130' INT
trap 'interrupted 143' TERM

# The guest's step, started in the background below: its result, its output and its whole time.
wait_for_guest() {
  local status=0
  wait "$guest_pid" || status=$?
  cat "$guest_log"
  echo "(the guest ran $((SECONDS - guest_start)) s, beside the steps before)"
  return "$status"
}

# Everything the steps need, before any runs: the guest's step runs beside others, and two apt-get
# cannot run at once. After it, the steps only check for their packages (TAMBRELL_SETUP_RAN).
set_up() {
  local status=0
  scripts/install-deps.sh build alsa mingw reliability wine guest package web || status=1
  web_packages || status=1
  return "$status"
}
step "Set-up: Debian packages, the page's npm packages" set_up
export TAMBRELL_SETUP_RAN=1

native="Linux build"
windows="Windows cross-build"
guest_files="Guest: the programs as users get them, the guest's kernel and files"
step "$native" scripts/build-native.sh
step "Linux tests" --after "$native" ctest --test-dir build/native --output-on-failure -j 2
step "$windows" scripts/build-windows.sh
step "Benchmark (figures, not a test)" --after "$native" build/native/bench/update_benchmark
step "$guest_files" --after "$native" --after "$windows" scripts/guest/prepare.sh
step "Web benchmark (figures, not a test)" --after "$guest_files" node bench/web/largest_image.mjs

# The guest's emulated CPU is one thread of qemu, and most of the command's time: it runs on one
# core from here on, while every step that needs no more than the other core runs beside it,
# niced so that the guest's pace stays its own. The benchmarks ran before, on a quiet machine. Its
# output follows theirs, whole.
guest_step="MIDI in a guest kernel (USB device; the Linux program, the Windows program under Wine, the page in Chromium and Firefox)"
guest_log=build/guest-step.log
guest_start=$SECONDS
if [ -z "${step_failed[$guest_files]:-}" ]; then
  scripts/guest/check.sh >"$guest_log" 2>&1 &
  guest_pid=$!
fi
step "Windows tests under Wine" --after "$native" --after "$windows" nice -n 19 scripts/test-windows.sh
step "Packages: zip, exe resources, Debian package" --after "$native" --after "$windows" \
  nice -n 19 scripts/test-package.sh
step "Web page: the core under Node, the page in headless Chromium and Firefox" --after "$native" \
  nice -n 19 scripts/test-web.sh
step "Sanitizers (ASan+UBSan, TSan)" nice -n 19 scripts/test-sanitizers.sh
step "Fuzzing (60 s a target)" nice -n 19 scripts/fuzz.sh 60
step "Valgrind memcheck" --after "$native" nice -n 19 scripts/valgrind.sh
step "Fault soak (100 updates)" --after "$native" nice -n 19 scripts/soak.sh 100
step "$guest_step" --after "$guest_files" wait_for_guest

echo "steps: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
