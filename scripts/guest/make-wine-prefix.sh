#!/usr/bin/env bash
# Makes the 32-bit Wine prefix that the guest's Wine scenarios use, read-only through the host's
# root share with a tmpfs over it: making one in the guest would take minutes of emulated CPU.
# Usage: scripts/guest/make-wine-prefix.sh PREFIX
# Kept while it was made by the Wine installed now; made anew after an upgrade.
set -euo pipefail
prefix=$(realpath -m "$1")  # Wine takes only an absolute prefix
made_by=$(wine --version)
if [ -f "$prefix/made-by" ] && [ "$(cat "$prefix/made-by")" = "$made_by" ]; then exit 0; fi
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all HOME=$(mktemp -d) wineboot -i >/dev/null 2>&1
# The server writes the registry out when it ends; the share must see the files complete.
WINEPREFIX=$prefix wineserver -w
echo "$made_by" > "$prefix/made-by"
