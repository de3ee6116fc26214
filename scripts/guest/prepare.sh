#!/usr/bin/env bash
# Makes everything the guest's scenarios need, without booting it: the programs as users get them
# (the guest runs the Linux program unpacked from the Debian package, Wine runs each exe taken
# out of its release zip, the browsers the page of the web zip), the share they are read from, the
# images, and the guest's kernel and initramfs. scripts/guest/check.sh then boots it.
# Usage: scripts/guest/prepare.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh build alsa guest wine package web
source scripts/lib.sh
scripts/package.sh >/dev/null
shipped=build/guest/shipped
rm -rf "$shipped" && mkdir -p "$shipped"
dpkg-deb -x build/dist/tambrell-update.deb "$shipped/deb"

# What Wine and the browsers read through the share (the exe, the prefix, the page and its driver)
# lies in a folder under /tmp whose name holds a space, wherever the checkout is: a mount in the
# guest that hid such a path, or a script that split it, fails every run rather than only a
# checkout's there. It is a copy: the steps that run beside the guest use the originals. check.sh
# removes it; a share left by a run that never checked goes here.
remove_guest_share
share=$(mktemp -d "/tmp/tambrell guest.XXXXXX")
printf '%s\n' "$share" >build/guest/share-dir
# A prefix that this machine cannot make (no 32-bit programs here) the guest makes itself.
for bits in 64 32; do
  unzip -q "build/dist/tambrell-update-$(project_version)-win$bits.zip" tambrell-update.exe \
    -d "$share/win$bits"
  if [ "$bits" = 64 ] || runs_32bit_programs; then
    use_wine_prefix "$bits"
    cp -a "$WINEPREFIX" "$share/${WINEPREFIX##*/}"
  fi
done
mkdir -p "$share/build/web/page" "$share/tests/web"
unzip -q build/dist/tambrell-update-*-web.zip -d "$share/build/web/page"
web_packages
cp -a tests/web/page_run.mjs tests/web/browsers.mjs tests/web/static_server.mjs \
  tests/web/node_modules "$share/tests/web/"

images=build/guest/images
mkdir -p "$images"
cp examples/quillstrand_v1.2.kit "$images/"
scripts/guest/make-largest-image.sh "$images/quillstrand_max.kit"

files=(-f scripts/guest/scenarios.txt=scenarios/scenarios.txt -f build/guest/share-dir=share-dir)
for script in scripts/guest/scenarios/*.sh; do files+=(-f "$script=scenarios/$(basename "$script")"); done
for image in "$images"/*.kit; do files+=(-f "$image=images/$(basename "$image")"); done
# The Linux program is /bin/tambrell-update there (scripts/guest/scenarios/lib.sh).
scripts/guest/build-guest.sh "${files[@]}" "$shipped/deb/usr/bin/tambrell-update" \
  build/native/tools/usb-device/usb-device "$(command -v amidi)" "$(command -v aconnect)"
