# Wine in the guest, sourced by the scenario runner. Wine runs in the host's root, shared read-only
# over virtio-9p (its libraries and the Windows program are the host's own), with the guest's
# /proc, /sys and /dev and a tmpfs for what it writes. The prefix, made on the host, lies under an
# overlay whose upper layer is on that tmpfs. The host's root is named on the kernel command line
# (host_root, the repository's folder there).
WINE_ROOT=/host

# Runs a command in the host's root with Wine's settings.
in_wine_root() {
  chroot "$WINE_ROOT" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/tmp/home WINEPREFIX=/tmp/prefix \
    WINEARCH=win32 WINEDEBUG=-all "$@"
}

# Once a boot: the share, the mounts, and Wine's server kept running with one program run through
# it, so that no scenario's time holds Wine's start.
wine_start() {
  [ -e /tmp/wine-started ] && return 0
  mkdir -p "$WINE_ROOT"
  mount -t 9p -o trans=virtio,version=9p2000.L,cache=loose,msize=262144,ro host "$WINE_ROOT" || return 1
  mount -t proc proc "$WINE_ROOT/proc" &&
    mount -t sysfs sysfs "$WINE_ROOT/sys" &&
    mount -t devtmpfs dev "$WINE_ROOT/dev" &&
    mount -t tmpfs tmpfs "$WINE_ROOT/tmp" &&
    mount -t tmpfs tmpfs "$WINE_ROOT/run" || return 1
  mkdir -p "$WINE_ROOT/dev/shm" && mount -t tmpfs tmpfs "$WINE_ROOT/dev/shm" || return 1
  mkdir -p "$WINE_ROOT/tmp/home" "$WINE_ROOT/tmp/prefix" "$WINE_ROOT/tmp/upper" "$WINE_ROOT/tmp/work"
  mount -t overlay overlay -o "lowerdir=$WINE_ROOT$host_root/build/guest/wineprefix,upperdir=$WINE_ROOT/tmp/upper,workdir=$WINE_ROOT/tmp/work" \
    "$WINE_ROOT/tmp/prefix" || return 1
  in_wine_root wineserver -p || return 1
  in_wine_root wine cmd /c exit > /dev/null 2>&1 || return 1
  touch /tmp/wine-started
}

# Runs the Windows program from the release zip as a user does, in a folder that holds only the image, its standard
# output to a file (on the serial console Wine's console would draw every character).
wine_run() {
  rm -rf "$WINE_ROOT/tmp/run"
  mkdir "$WINE_ROOT/tmp/run"
  cp "/images/$1" "$WINE_ROOT/tmp/run/"
  start=$(uptime_ms)
  exe=$host_root/build/guest/shipped/zip/tambrell-update.exe
  in_wine_root sh -c "cd /tmp/run && exec wine '$exe'" \
    < /dev/null > console.txt 2> wine.err
  echo $(($(uptime_ms) - start)) > wall-ms
}
