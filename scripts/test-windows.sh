#!/usr/bin/env bash
# The Windows side, for the 64-bit and the 32-bit programs alike: cross-builds the whole test suite
# and runs every test program under Wine of that many bits and on Linux, comparing the pass counts;
# then runs the real tambrell-update.exe as a user would and compares its console with the Linux
# program's. A machine whose kernel runs no 32-bit programs runs the 64-bit side alone, and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh build wine
scripts/build-native.sh >/dev/null
scripts/build-windows.sh >/dev/null
for bits in 64 32; do scripts/build-windows-tests.sh "$bits"; done
source scripts/lib.sh
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

# Every Windows test program of `bits` against its Linux twin, whose count is taken once. Programs
# of Linux-only parts (the ALSA backend) have no twin and are left to the Linux step.
declare -A linux_passed
test_programs() {
  local tests=$root/$(windows_build "$1" wine) program relative twin wine_passed total=0
  while read -r program; do
    relative=${program#"$tests/"}
    twin=$root/build/native/${relative%.exe}
    if [ ! -x "$twin" ]; then
      echo "test-windows: $relative has no Linux twin to compare with" >&2
      return 1
    fi
    [ -n "${linux_passed[$relative]:-}" ] || linux_passed[$relative]=$(passed_tests build/native "$twin")
    wine_passed=$(passed_tests "$tests" "$program" timeout 900 "$wine")
    if [ "${linux_passed[$relative]}" -ne "$wine_passed" ]; then
      echo "test-windows: $relative passed $wine_passed tests under $1-bit Wine," \
        "${linux_passed[$relative]} on Linux" >&2
      return 1
    fi
    total=$((total + wine_passed))
  done <"$tests/test-programs.txt"
  echo "tests passed: $total under $1-bit Wine, as on Linux"
}

# Runs the Linux program ($3) and the Windows one ($4) in folder $2, and compares their consoles
# (without the CR that Windows' text-mode output puts before every LF) and exit statuses, which
# must be $1; $5 and $6, when given, are the argument of each, with the path of the one shown as
# the path of the other in the messages. Standard input of the Windows program is a pipe whose
# writer stays open, as a script's may: it must end without waiting for the pipe (no pause).
# Neither waits long for a controller that is not there: a second says the wait as well.
compare() {
  local status=$1 folder=$2 linux windows
  linux=$(cd "$folder" && timeout 60 "$3" --wait 1 ${5:+"$5"} </dev/null; echo "status $?")
  windows=$(cd "$folder" && timeout 30 "$wine" "$4" --wait 1 ${6:+"$6"} < <(sleep 60) |
    perl -pe 's/\r\n\z/\n/'; echo "status ${PIPESTATUS[0]}")
  [ -n "${5:-}" ] && linux=${linux//"$5"/"$6"}
  if [ "${linux##*$'\n'}" != "status $status" ] || [ "$linux" != "$windows" ]; then
    printf -- '--- Linux:\n%q\n--- Wine:\n%q\n' "$linux" "$windows" >&2
    return 1
  fi
}

# The real program in a folder of its own, as a user starts it: its console as the Linux
# program's.
check_console() {
  local case=$1 status=$2 folder=$work/$bits/$1
  mkdir -p "$folder"
  [ -n "${3:-}" ] && cp "$3" "$folder/"
  [ -n "${4:-}" ] && printf '%s' "$4" >"$folder/quillstrand_bad.kit"
  compare "$status" "$folder" "$root/build/native/tambrell-update" "$exe" ||
    { echo "test-windows: the console of '$case' differs from Linux" >&2; return 1; }
  echo "console of '$case' as on Linux"
}

# Names outside every ANSI code page: an image named so (as a second download of it may be), in a
# folder named in Chinese, Cyrillic and a symbol, found by the real program's search, and dropped
# on it as Explorer passes a file (the whole path, backslashes and spaces); then a whole update of
# the simulated device from there. Wine reads Unix names in the locale's encoding.
check_names() {
  local folder="$work/$bits/下载 Загрузки ✓" image dropped
  image="$folder/quillstrand v1.3 副本.kit"
  mkdir "$folder"
  cp examples/quillstrand_v1.2.kit "$image"
  dropped=$("$wine" winepath -w "$image" | tr -d '\r')
  compare 2 "$folder" "$root/build/native/tambrell-update" "$exe" &&
    compare 2 "$work/$bits" "$root/build/native/tambrell-update" "$exe" "$image" "$dropped" &&
    TAMBRELL_SIM=clock=virtual compare 0 "$work/$bits" "$root/build/native/backends/sim/tambrell-update-sim" \
      "$root/$(windows_build "$bits" wine)/backends/sim/tambrell-update-sim.exe" "$image" "$dropped" ||
    { echo "test-windows: the image in '$folder' was not used as on Linux" >&2; return 1; }
  echo "the image in a folder named '${folder##*/}', found and dropped, as on Linux; updated from there"

  # On a console, which Wine gives a program started from a terminal: the name shows as given (a
  # console is no UTF-8 byte stream), and the run ends at the pause; the key comes a while later,
  # and the exit status is still the run's.
  local shown
  shown=$(cd "$folder" && { sleep 5; printf q; } |
    timeout 60 script -qec "$(printf '%q %q --wait 1' "$wine" "$exe")" /dev/null |
    sed 's/\x1b\[[0-9;?]*[A-Za-z]//g'
    echo "status ${PIPESTATUS[1]}")
  if [[ "$shown" != *"OK: File '${image##*/}' is open."*"Press any key to continue"*"status 2" ]]; then
    printf 'test-windows: on a console, the name or the pause is not shown:\n%q\n' "$shown" >&2
    return 1
  fi
  echo "on a console the name shows as given, and the run ends at the pause"
}

export LC_ALL=C.UTF-8
for bits in 64 32; do
  if [ "$bits" = 32 ] && ! runs_32bit_programs; then
    echo "-- the 32-bit programs: built, not run: this machine's kernel runs no 32-bit programs" \
      "(the guest runs the 32-bit program under Wine)"
    continue
  fi
  echo "-- the $bits-bit programs under $bits-bit Wine"
  use_wine_prefix "$bits"
  exe=$root/$(windows_build "$bits" windows)/tambrell-update.exe
  mkdir -p "$work/$bits"
  test_programs "$bits"
  for option in --version --help --list; do
    compare 0 "$work/$bits" "$root/build/native/tambrell-update" "$exe" "$option" "$option" ||
      { echo "test-windows: $option differs from Linux" >&2; exit 1; }
  done
  echo "--version, --help and --list as on Linux"
  check_console no-image 1
  check_console bad-image 1 "" $'00 04 12 34 BA FE\r\n'
  check_console good-image 2 examples/quillstrand_v1.2.kit
  check_names
done
