# The link alone, without the tool: an identification request written to the raw MIDI device is
# answered by the device program.
. /scenarios/lib.sh
virmidi_load 1 || exit 1
device_start || exit 1
amidi -p hw:0,0 -S 'F0 35 62 0E 71 48 13 59 F7' -d -t 1 > received 2>&1
device_stop
virmidi_unload
tr -d ' \n' < received | grep -q 'F034F7'
