#!/usr/bin/env bash
# Runs the guest's MIDI scenarios (scripts/guest/scenarios.txt) in a guest kernel booted by qemu:
# the unchanged programs (the Linux program over alsa-lib, the Windows program over Wine's MIDI
# service, the page over Chromium's and Firefox's Web MIDI) and the kernel's USB MIDI driver
# between them and the simulated controller as a USB device. Then compares every scenario with its twin on the
# simulated service, and ends with one line per program.
# Usage: scripts/test-guest.sh [SCENARIO...]   (default: every scenario)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build alsa guest wine package web
source scripts/lib.sh
# The programs as users get them: the guest runs the Linux program unpacked from the Debian
# package, Wine runs the exe taken out of the release zip, Chromium the page of the web zip.
scripts/package.sh >/dev/null
shipped=build/guest/shipped
rm -rf "$shipped" && mkdir -p "$shipped"
dpkg-deb -x build/dist/tambrell-update.deb "$shipped/deb"
use_wine_prefix

# What Wine and Chromium read through the share (the exe, the prefix, the page and its driver)
# lies in a folder under /tmp whose name holds a space, wherever the checkout is: a mount in the
# guest that hid such a path, or a script that split it, fails every run rather than only a
# checkout's there.
share=$(mktemp -d "/tmp/tambrell guest.XXXXXX")
trap 'rm -rf "$share"' EXIT
unzip -q build/dist/tambrell-update-*-win32.zip tambrell-update.exe -d "$share"
cp -al "$WINEPREFIX" "$share/wineprefix" 2>/dev/null || cp -a "$WINEPREFIX" "$share/wineprefix"
mkdir -p "$share/build/web/page" "$share/tests/web"
unzip -q build/dist/tambrell-update-*-web.zip -d "$share/build/web/page"
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
cp -a tests/web/page_run.mjs tests/web/browsers.mjs tests/web/static_server.mjs \
  tests/web/node_modules "$share/tests/web/"
printf '%s\n' "$share" >build/guest/share-dir

bin=build/native
images=build/guest/images
results=build/guest-results
mkdir -p "$images"
cp examples/quillstrand_v1.2.kit "$images/"
scripts/guest/make-largest-image.sh "$images/quillstrand_max.kit"

files=(-f scripts/guest/scenarios.txt=scenarios/scenarios.txt -f build/guest/share-dir=share-dir)
for script in scripts/guest/scenarios/*.sh; do files+=(-f "$script=scenarios/$(basename "$script")"); done
for image in "$images"/*.kit; do files+=(-f "$image=images/$(basename "$image")"); done
# The Linux program is /bin/tambrell-update there (scripts/guest/scenarios/lib.sh).
scripts/guest/build-guest.sh "${files[@]}" "$shipped/deb/usr/bin/tambrell-update" \
  "$bin/tools/usb-device/usb-device" "$(command -v amidi)" "$(command -v aconnect)"

# Named scenarios only, when given (a developer's quick look); every one otherwise.
scenarios=${*:-$(grep -v '^#' scripts/guest/scenarios.txt | cut -d'|' -f1 | tr -d ' ' | grep .)}
only=$(printf '*/%s:' $scenarios)
# The link first, alone, without the tool; then the time the search for the controller takes.
guest=0
scripts/guest/run-guest.sh "$results" usb_link usb_search_time $scenarios || guest=1
compared=0
TAMBRELL_GUEST_RESULTS="$results" TAMBRELL_GUEST_IMAGES="$images" \
  "$bin/tests/guest/guest_scenarios_test" --gtest_filter="${only%:}" | tee "$results/compared.txt" || compared=1

# How long the answers took to come back as the device saw them (answer out, the host's next frame
# in): the waits of the programs must cover them.
for trips in "$results"/*/round-trips*.txt; do
  [ -s "$trips" ] || continue
  device=$(basename "$trips" .txt)
  sort -n "$trips" | awk -v name="$(basename "$(dirname "$trips")") device ${device#round-trips}" '
    { ms[NR] = $1; if ($1 > 50) late++ }
    END { printf "round trips, %s: %d answers, median %d ms, 99th percentile %d ms, max %d ms, %d over 50 ms\n",
                 name, NR, ms[int((NR + 1) / 2)], ms[int(NR * 0.99 + 0.999)], ms[NR], late }'
done
# The search among a Windows 11 PC's loopbacks, against the controller alone (median of three).
if [ -s "$results/usb_search_time/search-ms.txt" ]; then
  median() { grep "^$1 " "$results/usb_search_time/search-ms.txt" | cut -d' ' -f2 | sort -n | sed -n 2p; }
  echo "finding the controller, Linux program's --list: alone $(median alone) ms," \
    "among a Windows 11 PC's three loopbacks $(median loopbacks) ms"
fi
count() { grep -o "^\[ *$1 *\] $2/[^ ,]*" "$results/compared.txt" | sort -u | wc -l; }
echo "usb scenarios: $(count OK Usb) passed, $(count FAILED Usb) failed"
echo "wine scenarios: $(count OK Wine) passed, $(count FAILED Wine) failed"
echo "web scenarios: $(count OK Web) passed, $(count FAILED Web) failed"
[ "$guest" -eq 0 ] && [ "$compared" -eq 0 ]
