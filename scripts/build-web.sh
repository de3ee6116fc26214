#!/usr/bin/env bash
# Builds the page in build/web/page with Debian's emscripten: the core over Web MIDI as
# WebAssembly, and the page's own files. With --tests also the test programs that run under
# Node: build/web (the page's build: image stage, Web MIDI backend, the simulated controller the
# browser tests put behind a stand-in MIDI device) and build/web-threads (the core against the
# simulated service, whose callback thread needs threads).
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
if [ "${1:-}" = --tests ]; then
  configure build/web -DTAMBRELL_TESTS=ON
  cmake --build build/web -j 2
  configure build/web-threads -DTAMBRELL_TESTS=ON -DTAMBRELL_WEB_THREADS=ON
  cmake --build build/web-threads -j 2
else
  configure build/web -DTAMBRELL_TESTS=OFF
  cmake --build build/web -j 2
fi
