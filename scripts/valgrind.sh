#!/usr/bin/env bash
# One run of the tool on the sample image under valgrind's memcheck: it must end with no memory
# error, no leaked or still-reachable block, and no file descriptor of its own left open.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-native.sh >/dev/null
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp examples/quillstrand_v1.2.kit "$folder"/
program="$PWD/build/native/tambrell-update"
log="$PWD/build/native/valgrind.log"

status=0
(cd "$folder" && valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
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
grep -E 'ERROR SUMMARY|in use at exit|total heap usage' "$log"
