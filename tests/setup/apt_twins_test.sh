#!/usr/bin/env bash
# scripts/apt-twins.sh against stand-ins for apt-cache, dpkg-query and dpkg --print-architecture,
# as on a machine whose security list of i386 could not be read: a twin held back to the older
# version both lists have, and one to the newest of several they share (ordered as Debian orders
# versions); no pin for twins whose lists agree, for packages not Multi-Arch: same, nor for what
# has no twin installed.
set -euo pipefail
script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/apt-twins.sh"
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
export PATH="$bin:$PATH"

cat >"$bin/apt-cache" <<'EOF'
#!/bin/sh
if [ "$1" = depends ]; then
  printf '%s\n' wine32:i386 '  Depends: libwine:i386' libwine:i386 '  Depends: <libgl1:i386>' \
    libgstreamer-plugins-base1.0-0:i386 libssl3:i386 libzstd1:i386 dpkg:i386 libgd3:i386
else
  cat <<'LISTS'
libgstreamer-plugins-base1.0-0:i386 | 1.22.0-3+deb12u6 | http://m/debian bookworm/main i386 Packages
libgstreamer-plugins-base1.0-0 | 1.22.0-3+deb12u7 | http://m/debian-security bookworm-security/main amd64 Packages
libgstreamer-plugins-base1.0-0 | 1.22.0-3+deb12u6 | http://m/debian bookworm/main amd64 Packages
libssl3:i386 | 3.0.20-1~deb12u2 | http://m/debian bookworm/main i386 Packages
libssl3:i386 | 3.0.9-1 | http://m/debian bookworm/main i386 Packages
libssl3 | 3.0.22-1~deb12u2 | http://m/debian-security bookworm-security/main amd64 Packages
libssl3 | 3.0.20-1~deb12u2 | http://m/debian bookworm/main amd64 Packages
libssl3 | 3.0.9-1 | http://m/debian bookworm/main amd64 Packages
libzstd1:i386 | 1.5.4+dfsg2-5 | http://m/debian bookworm/main i386 Packages
libzstd1 | 1.5.4+dfsg2-5 | http://m/debian bookworm/main amd64 Packages
dpkg:i386 | 1.21.22 | http://m/debian bookworm/main i386 Packages
dpkg | 1.21.23 | http://m/debian-security bookworm-security/main amd64 Packages
dpkg | 1.21.22 | http://m/debian bookworm/main amd64 Packages
libgd3:i386 | 2.3.3-9 | http://m/debian bookworm/main i386 Packages
libgd3 | 2.3.3-9+deb12u1 | http://m/debian-security bookworm-security/main amd64 Packages
LISTS
fi
EOF
cat >"$bin/dpkg-query" <<'EOF'
#!/bin/sh
printf '%s\n' 'libgstreamer-plugins-base1.0-0 gst-plugins-base1.0 same installed' \
  'libssl3 openssl same installed' 'libzstd1 libzstd same installed' 'dpkg dpkg foreign installed'
EOF
cat >"$bin/dpkg" <<'EOF'
#!/bin/sh
[ "$1" = --print-architecture ] && echo amd64 || exec /usr/bin/dpkg "$@"
EOF
chmod +x "$bin"/*

expected='src:gst-plugins-base1.0 1.22.0-3+deb12u6
src:openssl 3.0.20-1~deb12u2'
actual=$("$script" wine wine32:i386)
if [ "$actual" != "$expected" ]; then
  printf 'FAILED: the versions held:\n%s\nexpected:\n%s\n' "$actual" "$expected"
  exit 1
fi
