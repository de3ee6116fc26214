#!/usr/bin/env bash
# The Windows side: cross-builds the whole test suite and runs every test program under 32-bit
# Wine and on Linux, comparing the pass counts; then runs the real tambrell-update.exe as a user
# would and compares its console with the Linux program's.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh build wine
scripts/build-native.sh >/dev/null
scripts/build-windows.sh >/dev/null
scripts/build-windows-tests.sh
source scripts/lib.sh
use_wine_prefix
# No MIDI driver: the real program under Wine must see no device, as the test programs see only
# the simulator's.
export WINEDLLOVERRIDES=winealsa.drv=d

use_scratch_folder

# Runs one test program from its build's folder (through the given runner, if any) and prints
# how many of its tests passed. It counts only when it ends with status 0 and GoogleTest's own
# summary says it passed: a 32-bit program under a Wine that cannot run it may exit 0 having run
# nothing.
passed_tests() {
  local build=$1 program=$2 log passed status=0
  shift 2
  log=$work/$(basename "$program").log
  (cd "$build" && timeout 900 "$@" "$program" --gtest_color=no </dev/null) >"$log" 2>&1 || status=$?
  passed=$(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9][0-9]*\) tests\{0,1\}\.$/\1/p')
  if [ "$status" -ne 0 ] || [ -z "$passed" ] || tr -d '\r' <"$log" | grep -q '^\[  FAILED  \]'; then
    echo "test-windows: $program (status $status) did not pass:" >&2
    tail -n 40 "$log" >&2
    return 1
  fi
  echo "$passed"
}

# Every Windows test program against its Linux twin. Programs of Linux-only parts (the ALSA
# backend) have no twin and are left to the Linux step.
total=0
while read -r program; do
  relative=${program#"$root/build/wine/"}
  twin=$root/build/native/${relative%.exe}
  if [ ! -x "$twin" ]; then
    echo "test-windows: $relative has no Linux twin to compare with" >&2
    exit 1
  fi
  linux_passed=$(passed_tests build/native "$twin")
  wine_passed=$(passed_tests build/wine "$program" timeout 900 wine)
  if [ "$linux_passed" -ne "$wine_passed" ]; then
    echo "test-windows: $relative passed $wine_passed tests under Wine, $linux_passed on Linux" >&2
    exit 1
  fi
  total=$((total + wine_passed))
done <build/wine/test-programs.txt
echo "tests passed: $total under Wine, as on Linux"

# The real program in a folder of its own, standard input at its end, as a user starts it.
# Its console must be the Linux program's (once the CR that text-mode output puts before every
# LF is taken out), followed only by the prompt of the pause, run through Wine's own cmd; both
# end with the given exit status.
check_console() {
  local case=$1 status=$2 folder=$work/$1 linux windows rest
  mkdir -p "$folder"
  [ -n "${3:-}" ] && cp "$3" "$folder/"
  [ -n "${4:-}" ] && printf '%s' "$4" >"$folder/quillstrand_bad.kit"
  linux=$(cd "$folder" && timeout 60 "$root/build/native/tambrell-update" </dev/null; echo "status $?")
  windows=$(cd "$folder" && timeout 60 wine "$root/build/windows/tambrell-update.exe" </dev/null |
    perl -pe 's/\r\n\z/\n/'; echo "status ${PIPESTATUS[0]}")
  rest=${windows#"${linux%status "$status"}"}
  if [ "${linux##*$'\n'}" != "status $status" ] || [ "$rest" = "$windows" ] ||
     ! [[ "$rest" =~ ^"Press any key to continue"[\ .]*"status $status"$ ]]; then
    echo "test-windows: the console of '$case' differs from Linux" >&2
    printf -- '--- Linux:\n%q\n--- Wine:\n%q\n' "$linux" "$windows" >&2
    return 1
  fi
  echo "console of '$case' as on Linux, then the pause"
}

check_console no-image 1
check_console bad-image 1 "" $'00 04 12 34 BA FE\r\n'
check_console good-image 2 examples/quillstrand_v1.2.kit
