# The host's root in the guest, sourced by the scenario runner: shared read-only over virtio-9p
# (the host's own Wine, Chromium and node with their libraries), under an overlay whose upper
# layer is a tmpfs, so that programs run in it may write where they want (sockets in /tmp,
# profiles, the prefix), and no mount covers a folder of the share: whatever the host holds stays
# in sight, a checkout under /tmp included. The folder of what the host put there for the guest
# (the exe, the Wine prefix, the page) is named in /share-dir (scripts/test-guest.sh).
HOST_SHARE=/host
HOST_ROOT=/host-root
SHARE=$(cat /share-dir)

# Runs a command in the host's root, with the given variables and nothing else of this shell's.
in_host_root() {
  chroot "$HOST_ROOT" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root "$@"
}

# Once a boot: the share, the overlay, and the guest's /proc, /sys and /dev inside it. Says what
# failed.
host_root_mount() {
  [ -e /tmp/host-root-mounted ] && return 0
  mkdir -p "$HOST_SHARE" /host-root-rw "$HOST_ROOT" || return 1
  mount -t 9p -o trans=virtio,version=9p2000.L,cache=loose,msize=262144,ro host "$HOST_SHARE" ||
    { echo "the host's root could not be mounted over 9p"; return 1; }
  mount -t tmpfs tmpfs /host-root-rw && mkdir /host-root-rw/upper /host-root-rw/work &&
    mount -t overlay overlay \
      -o lowerdir=$HOST_SHARE,upperdir=/host-root-rw/upper,workdir=/host-root-rw/work "$HOST_ROOT" ||
    { echo "no overlay over the host's root"; return 1; }
  mount -t proc proc "$HOST_ROOT/proc" && mount -t sysfs sysfs "$HOST_ROOT/sys" &&
    mount -t devtmpfs dev "$HOST_ROOT/dev" && mkdir -p "$HOST_ROOT/dev/shm" &&
    mount -t tmpfs tmpfs "$HOST_ROOT/dev/shm" || { echo "no /proc, /sys or /dev in the host's root"; return 1; }
  touch /tmp/host-root-mounted
}

# Runs the start function $2 of the program $1 once a boot, its output to a log. When the start
# fails its reason (the log's last line) is said once, and every later call of the boot says
# that the scenario was skipped because of it.
start_once() {
  if [ -e "/tmp/$1-failed" ]; then
    echo "skipped: $1 did not start in this boot ($(cat "/tmp/$1-failed"))"
    return 1
  fi
  [ -e "/tmp/$1-started" ] && return 0
  if "$2" > "/tmp/$1-start.log" 2>&1; then
    touch "/tmp/$1-started"
    return 0
  fi
  tail -n 1 "/tmp/$1-start.log" > "/tmp/$1-failed"
  echo "$1 did not start:"
  cat "/tmp/$1-start.log"
  return 1
}
