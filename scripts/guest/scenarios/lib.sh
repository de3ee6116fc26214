# Helpers sourced by the scenario runner, which works in the scenario's result folder.

# Loads the virtual MIDI driver with the given number of raw MIDI devices.
virmidi_load() {
  insmod /lib/modules/*/kernel/sound/drivers/snd-virmidi.ko midi_devs="$1" index=0
}

virmidi_unload() {
  rmmod snd-virmidi
}

# Starts the device program on the first virtual device, set up by the given script, and waits
# until it is connected: bytes written before that are dropped by the driver.
# The guest's clock jumps whenever the host leaves its CPU waiting, so a record is given a second,
# not the simulated controller's 20 ms, to be completed before its first part is dropped.
device_start() {
  rm -f ready
  TAMBRELL_SIM="resync=1000; $1" TAMBRELL_SIM_REPORT="$PWD/device.txt" \
    seq-device "Virtual Raw MIDI 0-0" ready 2> device.err &
  device_pid=$!
  tries=0
  while [ ! -e ready ]; do
    kill -0 "$device_pid" 2>/dev/null || return 1
    tries=$((tries + 1))
    [ "$tries" -le 500 ] || return 1
    usleep 10000
  done
}

# Ends the device program unless it has ended by itself; fails when it failed.
device_stop() {
  kill "$device_pid" 2>/dev/null
  wait "$device_pid"
}

uptime_ms() {
  awk '{ printf "%d\n", $1 * 1000 }' /proc/uptime
}

# Runs the tool as a user does, in a folder that holds only the image, and notes its wall time.
tool_run() {
  mkdir run
  cp "/images/$1" run/
  start=$(uptime_ms)
  (cd run && tambrell-update < /dev/null > ../console.txt)
  echo $(($(uptime_ms) - start)) > wall-ms
}

# An identification request written to the raw MIDI device is answered by the device program:
# the link works without the tool.
link_check() {
  amidi -p hw:0,0 -S 'F0 35 62 0E 71 48 13 59 F7' -d -t 1 > link.txt 2>&1
  tr -d ' \n' < link.txt | grep -q 'F034F7'
}
