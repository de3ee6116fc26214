#!/usr/bin/env bash
# Runs the guest's MIDI scenarios (scripts/guest/scenarios.txt) in a guest kernel booted by qemu:
# the unchanged tool, alsa-lib and the kernel's drivers (USB MIDI through the USB/IP host
# controller, raw MIDI, sequencer) between it and the simulated controller. Then compares every
# scenario with its twin on the simulated service, and ends with one line per kind of scenario.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build alsa guest wine package
# Both programs as users get them: the guest runs the Linux program unpacked from the Debian
# package, and Wine runs the exe taken out of the release zip.
scripts/package.sh > /dev/null
shipped=build/guest/shipped
rm -rf "$shipped" && mkdir -p "$shipped"
dpkg-deb -x build/dist/tambrell-update.deb "$shipped/deb"
unzip -q build/dist/tambrell-update-*-win32.zip -d "$shipped/zip"
# The prefix the Wine scenarios run the exe in (scripts/guest/scenarios/wine.sh).
scripts/guest/make-wine-prefix.sh build/guest/wineprefix

bin=build/native
# The Linux program the guest runs, as /bin/<its name> there (scripts/guest/scenarios/lib.sh).
linux_program="$shipped/deb/usr/bin/tambrell-update"
images=build/guest/images
results=build/guest-results
mkdir -p "$images"
cp examples/quillstrand_v1.2.kit "$images/"
scripts/guest/make-largest-image.sh "$images/quillstrand_max.kit"

files=(-f scripts/guest/scenarios.txt=scenarios/scenarios.txt)
for script in scripts/guest/scenarios/*.sh; do files+=(-f "$script=scenarios/$(basename "$script")"); done
for image in "$images"/*.kit; do files+=(-f "$image=images/$(basename "$image")"); done
scripts/guest/build-guest.sh "${files[@]}" "$linux_program" "$bin/tools/seq-device/seq-device" \
  "$bin/tools/usb-device/usb-device" "$(command -v amidi)"

scenarios=$(grep -v '^#' scripts/guest/scenarios.txt | cut -d'|' -f1 | tr -d ' ' | grep .)
# The links first: each alone, without the tool.
guest=0
scripts/guest/run-guest.sh "$results" link usb_link $scenarios || guest=1
compared=0
TAMBRELL_GUEST_RESULTS="$results" TAMBRELL_GUEST_IMAGES="$images" \
  "$bin/tests/guest/guest_scenarios_test" | tee "$results/compared.txt" || compared=1

count() { grep -o "^\[ *$1 *\] $2/[^ ,]*" "$results/compared.txt" | sort -u | wc -l; }
echo "virmidi scenarios: $(count OK Virmidi) passed, $(count FAILED Virmidi) failed"
echo "usb scenarios: $(count OK Usb) passed, $(count FAILED Usb) failed"
echo "wine scenarios: $(count OK Wine) passed, $(count FAILED Wine) failed"
[ "$guest" -eq 0 ] && [ "$compared" -eq 0 ]
