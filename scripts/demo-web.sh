#!/usr/bin/env bash
# The page against the simulated controller, without hardware: builds the page and serves it on
# http://127.0.0.1:8000/ with the stand-in Web MIDI device put in before the page's own scripts.
# Open that address in Chrome, Edge or Opera; add ?sim=SCRIPT (the TAMBRELL_SIM script, e.g.
# ?sim=unplug=600) for another controller. Stop it with Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build web
echo "demo: building the page and the simulated controller (the first time takes a few minutes)"
scripts/build-web.sh
exec node tests/web/static_server.mjs --demo 8000
