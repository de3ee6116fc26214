# Helpers sourced by the scenario scripts, which run in their own result folder.

# Loads the virtual MIDI driver with the given number of raw MIDI devices.
virmidi_load() {
  insmod /lib/modules/*/kernel/sound/drivers/snd-virmidi.ko midi_devs="$1" index=0
}

virmidi_unload() {
  rmmod snd-virmidi
}

# Starts the device program on the first virtual device and waits until it is connected: bytes
# written before that are dropped by the driver.
device_start() {
  rm -f ready
  seq-device "$@" "Virtual Raw MIDI 0-0" ready 2> device.err &
  device_pid=$!
  tries=0
  while [ ! -e ready ]; do
    kill -0 "$device_pid" 2>/dev/null || return 1
    tries=$((tries + 1))
    [ "$tries" -le 500 ] || return 1
    usleep 10000
  done
}

device_stop() {
  kill "$device_pid" 2>/dev/null
  wait "$device_pid"
}
