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

# Plugs in the devices of the list $1 (scripts/guest/scenarios.txt) one after another, each waited
# for until its MIDI device is there: a controller set up by the script $2, a keyboard of another
# maker that never answers a SysEx; "through" is the sequencer's own port, loaded with its module.
# The N-th device of the list reports to deviceN.txt.
devices_start() {
  device_pids=
  n=0
  for device in $(echo "$1" | tr ',' ' '); do
    n=$((n + 1))
    case "$device" in
      controller) product="quillstrand MIDI" script=$2 ;;
      keys) product="Keys 49" script="ident-silent=always" ;;
      through) midi_through_load || return 1; continue ;;
      none) continue ;;
      *) echo "no device $device"; return 1 ;;
    esac
    TAMBRELL_SIM="$(device_script "$script")" TAMBRELL_SIM_REPORT="$PWD/device$n.txt" \
      TAMBRELL_ROUND_TRIPS="$PWD/round-trips$n.txt" usb-device "ready$n" "$product" 2> "device$n.err" &
    device_pids="$device_pids $!"
    wait_ready "$!" "ready$n" || return 1
  done
}

# The sequencer's own loopback port, "Midi Through", which desktop Linux systems have: loaded only
# for the scenarios that list it, as it is a second device to Wine.
midi_through_load() {
  insmod /lib/modules/*/kernel/sound/core/seq/snd-seq-dummy.ko
}

# Ends the device programs unless they have ended by themselves, and unloads "Midi Through"; fails
# when one failed.
devices_stop() {
  status=0
  for pid in $device_pids; do
    kill "$pid" 2>/dev/null
    wait "$pid" || status=1
  done
  if grep -q '^snd_seq_dummy ' /proc/modules; then rmmod snd-seq-dummy || status=1; fi
  return $status
}

uptime_ms() {
  awk '{ printf "%d\n", $1 * 1000 }' /proc/uptime
}

# Runs the tool as a user does, with the arguments after the image $1, in a folder that holds only
# the image, and notes its wall time.
tool_run() {
  mkdir run
  cp "/images/$1" run/
  shift
  start=$(uptime_ms)
  (cd run && "$TOOL" "$@" < /dev/null > ../console.txt)
  echo $(($(uptime_ms) - start)) > wall-ms
}

# An identification request written to the first raw MIDI device is answered by the device
# program: the link works without the tool.
link_check() {
  amidi -p hw:0,0 -S 'F0 35 62 0E 71 48 13 59 F7' -d -t 1 > link.txt 2>&1
  tr -d ' \n' < link.txt | grep -q 'F034F7'
}

# The loopbacks of a Windows 11 PC, as raw MIDI devices the Linux program sees: three devices of
# the kernel's virtual MIDI driver, each with a sequencer client of its own, the first two
# connected crosswise (the app loopbacks A and B), the third onto itself (the basic loopback).
loopbacks_load() {
  insmod /lib/modules/*/kernel/sound/drivers/snd-virmidi.ko midi_devs=3 || return 1
  clients=$(sed -n 's/^Client *\([0-9]*\) : "Virtual Raw MIDI.*/\1/p' /proc/asound/seq/clients)
  set -- $clients
  [ $# -eq 3 ] || { echo "virtual MIDI clients: $clients"; return 1; }
  aconnect "$1:0" "$2:0" && aconnect "$2:0" "$1:0" && aconnect "$3:0" "$3:0"
}

# The connections hold the driver: they go first.
loopbacks_unload() {
  aconnect -x && rmmod snd-virmidi
}

# How long the Linux program takes to find the controller among a Windows 11 PC's loopbacks:
# its device list (--list, which asks the devices as an update does) with the controller alone,
# then with the loopbacks, three times each; ms a line in search-ms.txt, "alone" or "loopbacks"
# first.
search_time() {
  devices_start controller "" || return 1
  for setting in alone loopbacks; do
    if [ "$setting" = loopbacks ]; then loopbacks_load || return 1; fi
    for run in 1 2 3; do
      start=$(uptime_ms)
      "$TOOL" --list > "list-$setting.txt" || return 1
      grep -q 'would open' "list-$setting.txt" || return 1
      echo "$setting $(($(uptime_ms) - start))" >> search-ms.txt
    done
  done
  loopbacks_unload && devices_stop
}
