#!/usr/bin/env bash
# One complete simulated update of the sample image under valgrind's memcheck: it must succeed,
# with no memory error, no leaked or still-reachable block, and no file descriptor of its own left
# open. The simulated device's clock is virtual: memcheck's slowness changes nothing it sees.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-native.sh >/dev/null
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp examples/quillstrand_v1.2.kit "$folder"/
program="$PWD/build/native/backends/sim/tambrell-update-sim"
log="$PWD/build/native/valgrind.log"

status=0
(cd "$folder" && TAMBRELL_SIM="clock=virtual" valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
  --show-leak-kinds=all --errors-for-leak-kinds=all --track-fds=yes --log-file="$log" \
  "$program" </dev/null >"$folder/console.txt") || status=$?
if [ "$status" -ne 0 ]; then
  cat "$log" >&2
  echo "valgrind: memcheck found errors or leaks (exit status $status)" >&2
  exit 1
fi
# Descriptors inherited from this shell are not the tool's to close.
if awk '/Open file descriptor/ { getline next_line; if (next_line !~ /inherited from parent/) bad = 1 }
        END { exit !bad }' "$log"; then
  cat "$log" >&2
  echo "valgrind: the tool left a file descriptor open" >&2
  exit 1
fi
if ! grep -q "Target update successfully!" "$folder/console.txt"; then
  cat "$folder/console.txt" >&2
  echo "valgrind: the update did not complete" >&2
  exit 1
fi
grep -E 'ERROR SUMMARY|in use at exit|total heap usage' "$log"
