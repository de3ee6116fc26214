#!/usr/bin/env bash
# Builds what users download into build/dist/:
#   tambrell-update-<version>-win64.zip   the 64-bit Windows program and its readme
#   tambrell-update-<version>-win32.zip   the 32-bit Windows program and its readme
#   tambrell-update_<version>_<arch>.deb  the Debian package, also as tambrell-update.deb
#   tambrell-update-<version>-web.zip     the page: its files, its program and the program's wasm
#   SHA256SUMS                            the checksum of each (sha256sum -c SHA256SUMS)
# The same commit gives the same bytes, from any folder and at any time. With
# TAMBRELL_SIGN_PKCS12 (a PKCS#12 file) and TAMBRELL_SIGN_PASSWORD_FILE (a file holding its
# password) each exe is signed before it goes into its zip; see docs/packaging.md.
# With --web-firmware DIR also, for a maker who hosts the page with the firmware it offers (no
# release file, so not in SHA256SUMS):
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

# Both signing files or neither, named from the caller's folder.
signing=
if [ -n "${TAMBRELL_SIGN_PKCS12:-}${TAMBRELL_SIGN_PASSWORD_FILE:-}" ]; then
  for name in TAMBRELL_SIGN_PKCS12 TAMBRELL_SIGN_PASSWORD_FILE; do
    [ -f "${!name:-}" ] || { echo "package: $name names no file: '${!name:-}'" >&2; exit 1; }
    export "$name=$(realpath "${!name}")"
  done
  signing=yes
fi
cd "$(dirname "$0")/.."
# Every date that the compilers and packers write is the last commit's (or the one given), and
# the zips' dates are written as UTC.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH TZ=UTC

scripts/install-deps.sh build alsa mingw package web
scripts/build-native.sh >/dev/null
scripts/build-windows.sh >/dev/null
scripts/build-web.sh >/dev/null
source scripts/lib.sh
version=$(project_version)
deb=tambrell-update_${version}_$(dpkg --print-architecture).deb
web=tambrell-update-$version-web.zip

# What CPack packs is unpacked into a folder of build/dist-staging and packed again from there,
# names in a fixed order, every date the one of SOURCE_DATE_EPOCH, no owner or build-time field.
staging=$PWD/build/dist-staging
rm -rf build/dist "$staging"
mkdir -p build/dist "$staging"
date_everything() {
  chmod 755 "$1"
  find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}
pack_zip() {
  local folder=$1 zip=$PWD/$2
  date_everything "$folder"
  (cd "$folder" && find . -type f -printf '%P\n' | LC_ALL=C sort | zip -q -X -D "$zip" -@)
}
pack_deb() {
  local folder=$1 deb=$2
  date_everything "$folder"
  dpkg-deb --root-owner-group --build "$folder" "$deb" >/dev/null
}

# A signature of the last commit's date: the same key signs the same exe to the same bytes.
sign_exe() {
  local exe=$1
  osslsigncode sign -pkcs12 "$TAMBRELL_SIGN_PKCS12" -readpass "$TAMBRELL_SIGN_PASSWORD_FILE" \
    -n "tambrell-update" -h sha256 -time "$SOURCE_DATE_EPOCH" -in "$exe" -out "$exe.signed" >/dev/null
  mv "$exe.signed" "$exe"
}

zips=()
for bits in 64 32; do
  zips+=("tambrell-update-$version-win$bits.zip")
  windows=$(windows_build "$bits" windows)
  (cd "$windows" && cpack -G ZIP >/dev/null)
  unzip -q "$windows/${zips[-1]}" -d "$staging/win$bits"
  [ -n "$signing" ] && sign_exe "$staging/win$bits/tambrell-update.exe"
  pack_zip "$staging/win$bits" "build/dist/${zips[-1]}"
done
if [ -n "$signing" ]; then
  echo "both tambrell-update.exe are signed with $TAMBRELL_SIGN_PKCS12"
else
  echo "both tambrell-update.exe are unsigned (TAMBRELL_SIGN_PKCS12 and TAMBRELL_SIGN_PASSWORD_FILE not set)"
fi

(cd build/native && cpack -G DEB >/dev/null)
dpkg-deb --raw-extract "build/native/$deb" "$staging/deb"
pack_deb "$staging/deb" "build/dist/$deb"

(cd build/web && cpack -G ZIP >/dev/null)
unzip -q "build/web/$web" -d "$staging/web"
pack_zip "$staging/web" "build/dist/$web"
rm -rf "$staging"

# Every release file but the link below, in a fixed order.
sums=$(cd build/dist && find . -maxdepth 1 -type f -printf '%P\n' | LC_ALL=C sort | xargs -d '\n' sha256sum --)
echo "$sums" >build/dist/SHA256SUMS
# A name that stays when the version moves on, for scripts that install the package.
ln -s "$deb" build/dist/tambrell-update.deb
printf 'build/dist/%s\n' "${zips[@]}"
echo "build/dist/$deb"
echo "build/dist/$web"
echo "build/dist/SHA256SUMS"
if [ -n "$firmware" ]; then
  scripts/web-zip-with-firmware.sh "build/dist/$web" "$firmware" \
    "build/dist/tambrell-update-$version-web-firmware.zip"
fi
