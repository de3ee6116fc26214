#!/usr/bin/env bash
# Builds the guest that runs the MIDI scenarios: an uncompressed kernel and an initramfs of busybox,
# the modules below, the given programs with their shared libraries, and the given files.
# Usage: scripts/guest/build-guest.sh [-f SOURCE=DEST]... PROGRAM...
# Writes build/guest/vmlinux and build/guest/initrd.gz. The kernel is cached in build/guest/kernel
# (remove that folder to fetch the current one again); the initramfs is made anew every time.
set -euo pipefail
root_dir=$(cd "$(dirname "$0")/../.." && pwd)
out="$root_dir/build/guest"
kernel="$out/kernel"
# The modules the guest loads, each after what it needs: virtio and 9p for the host's files,
# overlay, the sound core with the sequencer's MIDI client, USB with the USB/IP host controller and
# the USB audio driver; and the sequencer's loopback port and the kernel's virtual MIDI driver,
# which only the scenarios that use them load.
modules=(virtio_pci 9pnet_virtio 9p overlay snd-seq-midi vhci-hcd snd-usb-audio snd-seq-dummy
  snd-virmidi)
# Where they and their needs lie in the kernel package.
module_dirs=(sound drivers/usb drivers/media/mc drivers/virtio net/9p fs/9p fs/netfs fs/fscache
  fs/overlayfs)

files=()
while getopts f: option; do
  case "$option" in
    f) files+=("$OPTARG") ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))

fetch_kernel() {
  local package version deb offset
  package=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)/\1/p' | head -n 1)
  if [ -z "$package" ]; then
    apt-get update -qq
    package=$(apt-cache depends linux-image-amd64 | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)/\1/p' | head -n 1)
  fi
  version=${package#linux-image-}
  rm -rf "$kernel.tmp"
  mkdir -p "$kernel.tmp"
  (cd "$kernel.tmp" && apt-get download -qq -o APT::Sandbox::User=root "$package")
  deb=$(ls "$kernel.tmp"/*.deb)
  # Only the kernel image and the modules' folders: a small part of the package.
  local dir patterns=()
  for dir in "${module_dirs[@]}"; do patterns+=("./lib/modules/*/kernel/$dir/*"); done
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$kernel.tmp" --wildcards './boot/vmlinuz-*' \
    "${patterns[@]}" './lib/modules/*/modules.builtin*' \
    './lib/modules/*/modules.order'
  rm "$deb"
  depmod -b "$kernel.tmp" "$version"
  # The uncompressed kernel boots in half the time: the bzImage would decompress itself on the
  # emulated CPU. Its payload is the first XZ stream in the file.
  offset=$(LC_ALL=C grep -obUaP '\xfd7zXZ\x00' "$kernel.tmp/boot/vmlinuz-$version" | head -n 1 | cut -d: -f1)
  tail -c +$((offset + 1)) "$kernel.tmp/boot/vmlinuz-$version" > "$kernel.tmp/vmlinux.xz"
  xz -dc --single-stream "$kernel.tmp/vmlinux.xz" > "$kernel.tmp/vmlinux"
  rm "$kernel.tmp/vmlinux.xz"
  rm -r "$kernel.tmp/boot"
  echo "$version" > "$kernel.tmp/version"
  rm -rf "$kernel"
  mv "$kernel.tmp" "$kernel"
}

# The module and everything it needs, in loading order (modules.dep lists the needs last first).
load_order() {
  local version=$1 module=$2 line
  line=$(grep "/$module.ko:" "$kernel/lib/modules/$version/modules.dep")
  for dep in $(echo "${line#*:}" | tr ' ' '\n' | tac); do echo "/lib/modules/$version/$dep"; done
  echo "/lib/modules/$version/${line%%:*}"
}

# A cache made before the guest needed USB lacks its folders: fetch again.
cached_version=$(cat "$kernel/version" 2>/dev/null || true)
[ -d "$kernel/lib/modules/$cached_version/kernel/drivers/usb" ] || rm -rf "$kernel"

copy_program() {
  local program=$1 lib
  install -D -m 755 -s "$program" "$stage/bin/$(basename "$program")"
  for lib in $(ldd "$program" | grep -o '/[^ ]*'); do
    [ -e "$stage$lib" ] || install -D -m 755 "$(readlink -f "$lib")" "$stage$lib"
  done
}

[ -f "$kernel/vmlinux" ] || fetch_kernel
version=$(cat "$kernel/version")
ln -sf kernel/vmlinux "$out/vmlinux"

stage="$out/initramfs"
rm -rf "$stage"
mkdir -p "$stage"/{bin,dev,proc,sys,tmp,out}
install -m 755 /bin/busybox "$stage/bin/busybox"
install -m 755 "$root_dir/scripts/guest/init" "$stage/init"
for module in "${modules[@]}"; do load_order "$version" "$module"; done | awk '!seen[$0]++' \
  > "$stage/modules.load"
for module in $(cat "$stage/modules.load"); do install -D -m 644 "$kernel$module" "$stage$module"; done
# Without its configuration alsa-lib opens no device at all.
install -D -m 644 /usr/share/alsa/alsa.conf "$stage/usr/share/alsa/alsa.conf"
for program in "$@"; do copy_program "$program"; done
for pair in "${files[@]}"; do install -D -m 644 "${pair%%=*}" "$stage/${pair#*=}"; done

(cd "$stage" && find . | cpio -o -H newc --quiet | gzip -1) > "$out/initrd.gz"
