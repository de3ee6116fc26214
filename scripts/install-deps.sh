#!/usr/bin/env bash
# Installs the Debian packages that the named groups need, and only what is missing. A package
# index that cannot be read (a mirror caught mid-sync) stops nothing that the other lists allow;
# what could not be installed is named in the last line, after apt's own words.
# Usage: scripts/install-deps.sh GROUP...   (groups: build alsa mingw wine guest reliability package web)
# Under scripts/test.sh (TAMBRELL_SETUP_RAN set) only its first step installs: later ones check.
set -euo pipefail
cd "$(dirname "$0")/.."

packages_of() {
  case "$1" in
    build) echo cmake ninja-build g++ libgtest-dev googletest procps ;;
    alsa)  echo libasound2-dev ;;
    mingw) echo g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix ;;
    wine)  echo g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest \
             wine wine32:i386 wine64 ;;
    guest) echo qemu-system-x86 busybox-static alsa-utils kmod cpio xz-utils libasound2-dev ;;
    reliability) echo clang libclang-rt-dev valgrind ;;
    package) echo dpkg-dev fakeroot lintian icoutils zip unzip man-db groff-base osslsigncode openssl \
             file ;;
    # Node from NodeSource brings its own npm; Debian's Node needs Debian's npm beside it.
    web)   echo emscripten chromium firefox-esr nodejs
           command -v npm >/dev/null || echo npm ;;
    *) echo "install-deps: unknown group '$1'" >&2; return 2 ;;
  esac
}

not_installed() {
  local package
  for package in "$@"; do
    [ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" = "install ok installed" ] ||
      echo "$package"
  done
}

# What each group lacks, and all of it once.
declare -A lacking
missing=()
for group in "$@"; do
  packages=$(packages_of "$group") || exit 2
  lacking[$group]=$(not_installed $packages | tr '\n' ' ')
  for package in ${lacking[$group]}; do
    [[ " ${missing[*]} " == *" $package "* ]] || missing+=("$package")
  done
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ] || [ -n "${TAMBRELL_SETUP_RAN:-}" ]; then
  [ "$(id -u)" -ne 0 ] && hint=" (install them as root)" || hint=
  echo "install-deps: missing packages$hint: ${missing[*]}" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive LC_ALL=C
# 32-bit Windows programs need Wine's i386 half.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

# A mirror caught mid-sync is whole again within minutes: three tries, then the lists there are.
log=$(mktemp)
trap 'rm -f "$log" "$log.preferences"' EXIT
unread=()
for wait in 5 30 end; do
  apt-get update -qq 2>"$log" && break
  if [ "$wait" = end ]; then
    cat "$log" >&2
    mapfile -t unread < <(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log")
    echo "install-deps: going on with the package lists there are"
  else
    echo "install-deps: apt-get update failed; trying again in $wait s"
    sleep "$wait"
  fi
done

# With a list of one architecture unread, that architecture's packages are installed with their
# twins of this machine's architecture at a version both lists have (scripts/apt-twins.sh),
# through preferences for this one transaction; nothing is removed for it.
install() {
  local pins=() options=() preferences
  [ ${#unread[@]} -eq 0 ] || mapfile -t pins < <(scripts/apt-twins.sh "$@")
  if [ ${#pins[@]} -gt 0 ]; then
    echo "install-deps: at the versions both architectures' lists have: ${pins[*]}"
    eval "$(apt-config shell preferences Dir::Etc::Preferences/f)"
    { printf '%s\n' "${pins[@]}" |
        awk '{ printf "Package: %s\nPin: version %s\nPin-Priority: 1001\n\n", $1, $2 }'
      cat "$preferences" 2>/dev/null || true; } >"$log.preferences"
    options=(-o Dir::Etc::Preferences="$log.preferences" --allow-downgrades --no-remove)
  fi
  apt-get install -y -qq --no-install-recommends "${options[@]}" "$@" >/dev/null
}

# All at once; failing that, group by group, so that one group's trouble leaves the others theirs.
groups=()
for group in "$@"; do [ -n "${lacking[$group]}" ] && groups+=("$group"); done
if [ ${#groups[@]} -eq 1 ]; then
  install "${missing[@]}" || true
elif ! install "${missing[@]}" 2>/dev/null; then
  for group in "${groups[@]}"; do install ${lacking[$group]} || true; done
fi

left=$(not_installed "${missing[@]}" | tr '\n' ' ')
[ -z "$left" ] && exit 0
echo "install-deps: not installed: ${left% }${unread[*]:+ (package lists not read: ${unread[*]})}" >&2
exit 1
