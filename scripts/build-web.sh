#!/usr/bin/env bash
# Builds the page in build/web/page with Debian's emscripten: the core over Web MIDI as
# WebAssembly, and the page's own files; and build/web/standin, the simulated controller behind
# its stand-in Web MIDI device (the demo's and the tests'). With --tests also the test programs
# that run under Node: those of the page's build (image stage, Web MIDI backend) and
# build/web-threads (the core against the simulated service, whose callback thread needs threads).
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's emscripten takes acorn from Debian's Node modules, where a newer Node does not look.
export NODE_PATH=/usr/share/nodejs
node=$(command -v node)
configure() {
  # emcmake's own Node options are for an older Node: the plain one runs the tests.
  local log
  log=$(emcmake cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$node" "${@:2}" 2>&1) || { echo "$log" >&2; return 1; }
}
configure build/web
if [ "${1:-}" = --tests ]; then
  cmake --build build/web -j 2
  configure build/web-threads -DTAMBRELL_WEB_THREADS=ON
  cmake --build build/web-threads -j 2
else
  cmake --build build/web -j 2 --target tambrell-update page web-device standin_midi
fi
