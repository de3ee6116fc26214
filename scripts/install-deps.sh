#!/usr/bin/env bash
# Installs the Debian packages that the named groups need, and only what is missing.
# Usage: scripts/install-deps.sh GROUP...   (groups: build alsa mingw wine guest reliability package web)
set -euo pipefail

packages=()
for group in "$@"; do
  case "$group" in
    build) packages+=(cmake ninja-build g++ libgtest-dev googletest) ;;
    alsa)  packages+=(libasound2-dev) ;;
    mingw) packages+=(g++-mingw-w64-i686-posix) ;;
    wine)  packages+=(g++-mingw-w64-i686-posix googletest wine wine32:i386) ;;
    guest) packages+=(qemu-system-x86 busybox-static alsa-utils kmod cpio xz-utils libasound2-dev) ;;
    reliability) packages+=(clang libclang-rt-dev valgrind) ;;
    package) packages+=(dpkg-dev fakeroot lintian icoutils zip unzip man-db groff-base osslsigncode openssl) ;;
    # Node from NodeSource brings its own npm; Debian's Node needs Debian's npm beside it.
    web)   packages+=(emscripten chromium firefox-esr nodejs)
           command -v npm >/dev/null || packages+=(npm) ;;
    *) echo "install-deps: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (install them as root): ${missing[*]}" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# 32-bit Windows programs need Wine's i386 half.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
