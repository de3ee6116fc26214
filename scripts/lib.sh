# Shared by the scripts that source it: the project's version, the Windows builds and their Wine
# prefixes, the page's npm packages and the guest's share.

# The version of project(... VERSION x.y.z) in CMakeLists.txt: it names the packages.
project_version() {
  sed -n 's/^project([^ ]* VERSION \([0-9.]*\) .*/\1/p' "$(dirname "${BASH_SOURCE[0]}")/../CMakeLists.txt"
}

# The build folder of the Windows programs (KIND windows) or of their tests (KIND wine), for 32 or
# 64 bits; and the toolchain file of each.
windows_build() {
  case "$1" in
    32) echo "build/$2" ;;
    64) echo "build/${2}64" ;;
    *) echo "lib.sh: no Windows build of $1 bits" >&2; return 2 ;;
  esac
}
windows_toolchain() {
  case "$1" in
    32) echo cmake/mingw-i686.cmake ;;
    64) echo cmake/mingw-x86_64.cmake ;;
    *) echo "lib.sh: no Windows toolchain of $1 bits" >&2; return 2 ;;
  esac
}

# Whether this machine runs 32-bit x86 programs, and so 32-bit Wine: a kernel may be built or
# booted without them (ia32_emulation=off). The guest's kernel runs them.
runs_32bit_programs() {
  local said
  said=$(/lib/ld-linux.so.2 --version 2>&1) || true
  [[ "$said" != *"Exec format error"* ]]
}

# The Wine prefix of every Windows run of 32 bits (build/wineprefix, the default) or 64 bits
# (build/wineprefix64), made once and made anew when Wine is upgraded (the guest reads them through
# its share too, and makes one itself only where this machine could not). Exports Wine's settings
# for the caller, and sets `wine` to the loader of those bits.
use_wine_prefix() {
  local bits=${1:-32} prefix made_by
  prefix="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix"
  if [ "$bits" = 64 ]; then
    prefix+=64
    # Debian's `wine` starts the 32-bit loader whenever there is one.
    wine=/usr/lib/wine/wine64
    export WINEARCH=win64 WINELOADER=$wine
  else
    wine=wine
    export WINEARCH=win32
    unset WINELOADER
  fi
  export WINEPREFIX=$prefix WINEDEBUG=-all
  wine_prefixes_used+=("$prefix")
  unset DISPLAY WAYLAND_DISPLAY
  made_by=$("$wine" --version)
  [ "$(cat "$prefix/made-by" 2>/dev/null)" = "$made_by" ] && return 0
  rm -rf "$prefix"
  mkdir -p "$prefix"
  # Wine writes into the home folder as it makes a prefix: a throwaway one, removed after.
  local home status=0
  home=$(mktemp -d)
  HOME=$home timeout 180 "$wine" wineboot --init </dev/null >/dev/null 2>&1 || status=$?
  # The server writes the registry out when it ends; the prefix must be complete on disk.
  [ "$status" -eq 0 ] && wineserver -w
  rm -rf "$home"
  [ "$status" -eq 0 ] || { echo "no Wine prefix could be made in $prefix" >&2; return 1; }
  echo "$made_by" >"$prefix/made-by"
}

# tests/web's npm packages, as its package-lock.json names them; under scripts/test.sh its first
# step installed them, once for the whole command (TAMBRELL_SETUP_RAN).
web_packages() {
  [ -n "${TAMBRELL_SETUP_RAN:-}" ] && return 0
  (cd "$(dirname "${BASH_SOURCE[0]}")/../tests/web" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
}

# Removes the share that scripts/guest/prepare.sh made for the guest and the file that names it;
# nothing but such a share, whatever the file holds.
remove_guest_share() {
  local share
  share=$(cat build/guest/share-dir 2>/dev/null || true)
  case "$share" in "/tmp/tambrell guest."*) rm -rf "$share" ;; esac
  rm -f build/guest/share-dir
}

# A scratch folder for the caller, $work, removed at exit; a caller that ran Wine also stops the
# servers of its own prefixes then, and only those.
use_scratch_folder() {
  work=$(mktemp -d)
  trap finish EXIT
}
finish() {
  local prefix
  for prefix in ${wine_prefixes_used[@]+"${wine_prefixes_used[@]}"}; do
    WINEPREFIX=$prefix timeout 30 wineserver -k 2>/dev/null || true
  done
  rm -rf "$work"
}
