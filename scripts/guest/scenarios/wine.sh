# Wine in the guest, sourced by the scenario runner. Wine runs in the host's root, shared read-only
# over virtio-9p (its libraries are the host's own), under an overlay whose upper layer is a tmpfs:
# it may write where it wants (its server's socket in /tmp, the prefix), and no mount covers a
# folder of the share, so the folder of the exe and the prefix stays in sight wherever it lies.
# That folder is named in /share-dir (scripts/test-guest.sh).
HOST_SHARE=/host
WINE_ROOT=/wine-root
SHARE=$(cat /share-dir)

# Runs a command in Wine's root with Wine's settings.
in_wine_root() {
  chroot "$WINE_ROOT" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root \
    WINEPREFIX="$SHARE/wineprefix" WINEARCH=win32 WINEDEBUG=-all "$@"
}

# The share, the overlay, the guest's /proc, /sys and /dev inside it, and Wine's server kept
# running with one program run through it, so that no scenario's time holds Wine's start. Says
# what failed.
wine_mount_and_warm_up() {
  mkdir -p "$HOST_SHARE" /wine-rw "$WINE_ROOT" || return 1
  mount -t 9p -o trans=virtio,version=9p2000.L,cache=loose,msize=262144,ro host "$HOST_SHARE" ||
    { echo "the host's root could not be mounted over 9p"; return 1; }
  mount -t tmpfs tmpfs /wine-rw && mkdir /wine-rw/upper /wine-rw/work &&
    mount -t overlay overlay -o lowerdir=$HOST_SHARE,upperdir=/wine-rw/upper,workdir=/wine-rw/work \
      "$WINE_ROOT" || { echo "no overlay over the host's root"; return 1; }
  mount -t proc proc "$WINE_ROOT/proc" && mount -t sysfs sysfs "$WINE_ROOT/sys" &&
    mount -t devtmpfs dev "$WINE_ROOT/dev" && mkdir -p "$WINE_ROOT/dev/shm" &&
    mount -t tmpfs tmpfs "$WINE_ROOT/dev/shm" || { echo "no /proc, /sys or /dev for Wine"; return 1; }
  [ -d "$WINE_ROOT$SHARE/wineprefix" ] || { echo "no prefix at $SHARE/wineprefix"; return 1; }
  in_wine_root wineserver -p || { echo "Wine's server did not start"; return 1; }
  in_wine_root wine cmd /c exit || { echo "Wine did not run cmd"; return 1; }
}

# Once a boot. When the start fails its reason is said once, and every later Wine scenario of
# the boot says that it was skipped because of it.
wine_start() {
  if [ -e /tmp/wine-failed ]; then
    echo "skipped: Wine did not start in this boot ($(cat /tmp/wine-failed))"
    return 1
  fi
  [ -e /tmp/wine-started ] && return 0
  if wine_mount_and_warm_up > /tmp/wine-start.log 2>&1; then
    touch /tmp/wine-started
    return 0
  fi
  tail -n 1 /tmp/wine-start.log > /tmp/wine-failed
  echo "Wine did not start:"
  cat /tmp/wine-start.log
  return 1
}

# Runs the Windows program from the release zip as a user does, in a folder that holds only the
# image, its standard output to a file (on the serial console Wine's console would draw every
# character).
wine_run() {
  run=$SHARE/run
  rm -rf "$WINE_ROOT$run"
  mkdir "$WINE_ROOT$run"
  cp "/images/$1" "$WINE_ROOT$run/"
  start=$(uptime_ms)
  in_wine_root sh -c 'cd "$1" && exec wine "$2"' sh "$run" "$SHARE/tambrell-update.exe" \
    < /dev/null > console.txt 2> wine.err
  echo $(($(uptime_ms) - start)) > wall-ms
}
