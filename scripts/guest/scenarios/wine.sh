# Wine in the guest, sourced by the scenario runner after host_root.sh: the host's own Wine, in
# the host's root, with the prefix made on the host.

# Runs a command in the host's root with Wine's settings.
in_wine_root() {
  in_host_root WINEPREFIX="$SHARE/wineprefix" WINEARCH=win32 WINEDEBUG=-all "$@"
}

# The host's root, and Wine's server kept running with one program run through it, so that no
# scenario's time holds Wine's start.
wine_mount_and_warm_up() {
  host_root_mount || return 1
  [ -d "$HOST_ROOT$SHARE/wineprefix" ] || { echo "no prefix at $SHARE/wineprefix"; return 1; }
  in_wine_root wineserver -p || { echo "Wine's server did not start"; return 1; }
  in_wine_root wine cmd /c exit || { echo "Wine did not run cmd"; return 1; }
}

wine_start() {
  start_once Wine wine_mount_and_warm_up
}

# Runs the Windows program from the release zip as a user does, in a folder that holds only the
# image, its standard output to a file (on the serial console Wine's console would draw every
# character).
wine_run() {
  run=$SHARE/run
  rm -rf "$HOST_ROOT$run"
  mkdir "$HOST_ROOT$run"
  cp "/images/$1" "$HOST_ROOT$run/"
  start=$(uptime_ms)
  in_wine_root sh -c 'cd "$1" && exec wine "$2"' sh "$run" "$SHARE/tambrell-update.exe" \
    < /dev/null > console.txt 2> wine.err
  echo $(($(uptime_ms) - start)) > wall-ms
}
