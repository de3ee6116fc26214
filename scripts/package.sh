#!/usr/bin/env bash
# Builds what users download into build/dist/:
#   tambrell-update-<version>-win32.zip   the Windows program and its readme
#   tambrell-update_<version>_<arch>.deb  the Debian package, also as tambrell-update.deb
#   tambrell-update-<version>-web.zip     the page: its files, its program and the program's wasm
# With --web-firmware DIR also, for a maker who hosts the page with the firmware it offers:
#   tambrell-update-<version>-web-firmware.zip  the page with DIR's firmware.json and its images
#                                               (scripts/web-zip-with-firmware.sh)
set -euo pipefail
firmware=
if [ "${1:-}" = --web-firmware ] && [ $# -eq 2 ]; then
  firmware=$(realpath "$2")
elif [ $# -ne 0 ]; then
  echo "usage: $0 [--web-firmware DIR]" >&2
  exit 64
fi
cd "$(dirname "$0")/.."

scripts/install-deps.sh build alsa mingw package web
scripts/build-native.sh >/dev/null
scripts/build-windows.sh >/dev/null
scripts/build-web.sh >/dev/null
source scripts/lib.sh
version=$(project_version)
zip=tambrell-update-$version-win32.zip
deb=tambrell-update_${version}_$(dpkg --print-architecture).deb
web=tambrell-update-$version-web.zip

rm -rf build/dist
mkdir -p build/dist
(cd build/windows && cpack -G ZIP >/dev/null)
(cd build/native && cpack -G DEB >/dev/null)
(cd build/web && cpack -G ZIP >/dev/null)
cp "build/windows/$zip" "build/native/$deb" "build/web/$web" build/dist/
# A name that stays when the version moves on, for scripts that install the package.
ln -s "$deb" build/dist/tambrell-update.deb
echo "build/dist/$zip"
echo "build/dist/$deb"
echo "build/dist/$web"
if [ -n "$firmware" ]; then
  scripts/web-zip-with-firmware.sh "build/dist/$web" "$firmware" \
    "build/dist/tambrell-update-$version-web-firmware.zip"
fi
