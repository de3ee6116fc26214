# Helpers sourced by the scenario runner, which works in the scenario's result folder.

# The Linux program under test, as the guest holds it.
TOOL=/bin/tambrell-update

# Waits until the device program whose pid is $1 has written the ready file $2; fails when it
# ends before that, or after 10 s.
wait_ready() {
  tries=0
  while [ ! -e "$2" ]; do
    kill -0 "$1" 2>/dev/null || return 1
    tries=$((tries + 1))
    [ "$tries" -le 1000 ] || return 1
    usleep 10000
  done
}

# The guest's clock jumps whenever the host leaves its CPU waiting, so a record is given a second,
# not the simulated controller's 20 ms, to be completed before its first part is dropped.
device_script() {
  echo "resync=1000; $1"
}

# Plugs in $1 USB devices one after another, each set up by the script $2, each waited for until
# its MIDI device is there. The first one reports to device.txt, the next to device2.txt, ...
usb_devices_start() {
  device_pids=
  n=1
  while [ "$n" -le "$1" ]; do
    suffix=$n; [ "$n" -eq 1 ] && suffix=
    TAMBRELL_SIM="$(device_script "$2")" TAMBRELL_SIM_REPORT="$PWD/device$suffix.txt" \
      TAMBRELL_ROUND_TRIPS="$PWD/round-trips$suffix.txt" usb-device "ready$suffix" 2> "device$suffix.err" &
    device_pids="$device_pids $!"
    wait_ready "$!" "ready$suffix" || return 1
    n=$((n + 1))
  done
}

# Ends the device programs unless they have ended by themselves; fails when one failed.
devices_stop() {
  status=0
  for pid in $device_pids; do
    kill "$pid" 2>/dev/null
    wait "$pid" || status=1
  done
  return $status
}

uptime_ms() {
  awk '{ printf "%d\n", $1 * 1000 }' /proc/uptime
}

# Runs the tool as a user does, in a folder that holds only the image, and notes its wall time.
tool_run() {
  mkdir run
  cp "/images/$1" run/
  start=$(uptime_ms)
  (cd run && "$TOOL" < /dev/null > ../console.txt)
  echo $(($(uptime_ms) - start)) > wall-ms
}

# An identification request written to the first raw MIDI device is answered by the device
# program: the link works without the tool.
link_check() {
  amidi -p hw:0,0 -S 'F0 35 62 0E 71 48 13 59 F7' -d -t 1 > link.txt 2>&1
  tr -d ' \n' < link.txt | grep -q 'F034F7'
}
