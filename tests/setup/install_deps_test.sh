#!/usr/bin/env bash
# scripts/install-deps.sh against stand-ins for apt-get, dpkg-query, id and sleep: an update that
# fails once, one that always fails while the install works, and a group whose install fails
# beside one whose install works.
set -euo pipefail
script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh"
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
mkdir "$state/bin"
export PATH="$state/bin:$PATH" STATE=$state
# Under scripts/test.sh, whose first step installed, install-deps would only check.
unset TAMBRELL_SETUP_RAN

# apt-get: `update` fails UPDATE_FAILURES times on one index; `install` fails when it is asked
# for BROKEN, and records what it installed otherwise.
cat >"$state/bin/apt-get" <<'EOF'
#!/bin/bash
if [[ " $* " == *" update "* ]]; then
  echo x >>"$STATE/updates"
  if [ "$(wc -l <"$STATE/updates")" -le "$UPDATE_FAILURES" ]; then
    echo "E: Failed to fetch http://mirror.test/dists/s/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?" >&2
    exit 100
  fi
elif [[ " $* " == *" $BROKEN "* ]]; then
  echo "E: Unable to locate package $BROKEN" >&2
  exit 100
else
  printf '%s\n' "$@" | grep -v '^-' >>"$STATE/installed"
fi
EOF
cat >"$state/bin/dpkg-query" <<'EOF'
#!/bin/bash
grep -qxF -- "${*: -1}" "$STATE/installed" 2>/dev/null && printf 'install ok installed'
EOF
printf '#!/bin/sh\necho 0\n' >"$state/bin/id"
printf '#!/bin/sh\necho "$1" >>"$STATE/sleeps"\n' >"$state/bin/sleep"
chmod +x "$state/bin"/*

failures=0
# Runs install-deps for the groups alsa and mingw and checks its status, the waits between the
# updates and the last line it wrote to standard error.
check() {
  local case=$1 update_failures=$2 broken=$3 status=$4 sleeps=$5 last_error=$6 actual=0 waits
  rm -f "$state/updates" "$state/installed"
  : >"$state/sleeps"
  UPDATE_FAILURES=$update_failures BROKEN=$broken "$script" alsa mingw >"$state/out" 2>"$state/err" ||
    actual=$?
  waits=$(paste -sd' ' "$state/sleeps")
  if [ "$actual" != "$status" ] || [ "$waits" != "$sleeps" ] ||
     [ "$(tail -n 1 "$state/err")" != "$last_error" ]; then
    echo "FAILED: $case (status $actual, waits '$waits')"
    cat "$state/out" "$state/err"
    failures=$((failures + 1))
  fi
}

check "an update that fails once" 1 none 0 5 ""
check "an update that always fails, an install that works" 9 none 0 "5 30" \
  "E: Failed to fetch http://mirror.test/dists/s/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
check "an install that fails" 9 g++-mingw-w64-i686-posix 1 "5 30" \
  "install-deps: not installed: g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix (package lists not read: http://mirror.test/dists/s/main/binary-i386/Packages.xz)"
grep -qx libasound2-dev "$state/installed" ||
  { echo "FAILED: the group that could be installed was not"; failures=$((failures + 1)); }
grep -qx "E: Unable to locate package g++-mingw-w64-i686-posix" "$state/err" ||
  { echo "FAILED: apt's own words are not shown"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ]
