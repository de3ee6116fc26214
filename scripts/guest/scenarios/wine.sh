# Wine in the guest, sourced by the scenario runner after host_root.sh: the host's own Wine, in
# the host's root, with the prefixes made on the host. Kind wine runs the 32-bit program under
# 32-bit Wine, kind wine_64 the 64-bit program under 64-bit Wine (wine_start sets which).
WINE_BITS=32
WINE_PREFIX=wineprefix
WINE_LOADER=wine

# Runs a command in the host's root with the settings of that Wine.
in_wine_root() {
  in_host_root WINEPREFIX="$SHARE/$WINE_PREFIX" WINEARCH="win$WINE_BITS" WINEDEBUG=-all "$@"
}

# The host's root, and Wine's server kept running with one program run through it, so that no
# scenario's time holds Wine's start. A prefix that the host could not make (a host that runs no
# 32-bit programs) is made here, in the overlay.
wine_mount_and_warm_up() {
  host_root_mount || return 1
  if [ ! -d "$HOST_ROOT$SHARE/$WINE_PREFIX" ]; then
    echo "making the prefix $SHARE/$WINE_PREFIX"
    in_wine_root "$WINE_LOADER" wineboot --init && in_wine_root wineserver -w ||
      { echo "no prefix could be made at $SHARE/$WINE_PREFIX"; return 1; }
  fi
  in_wine_root wineserver -p || { echo "Wine's server did not start"; return 1; }
  in_wine_root "$WINE_LOADER" cmd /c exit || { echo "Wine did not run cmd"; return 1; }
}

# $1: the scenario's kind. Debian's `wine` starts the 32-bit loader whenever there is one.
wine_start() {
  if [ "$1" = wine_64 ]; then
    WINE_BITS=64
    WINE_PREFIX=wineprefix64
    WINE_LOADER=/usr/lib/wine/wine64
  fi
  start_once "Wine$WINE_BITS" wine_mount_and_warm_up
}

# Runs the Windows program of those bits from its release zip as a user does, with the arguments
# after the image $1, in a folder that holds only the image, its standard output to a file (on the
# serial console Wine's console would draw every character).
wine_run() {
  run=$SHARE/run
  rm -rf "$HOST_ROOT$run"
  mkdir "$HOST_ROOT$run"
  cp "/images/$1" "$HOST_ROOT$run/"
  shift
  start=$(uptime_ms)
  in_wine_root sh -c 'cd "$1" && shift && exec "$@"' sh "$run" "$WINE_LOADER" \
    "$SHARE/win$WINE_BITS/tambrell-update.exe" "$@" < /dev/null > console.txt 2> wine.err
  echo $(($(uptime_ms) - start)) > wall-ms
}
