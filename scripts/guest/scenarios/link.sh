# A SysEx written to the raw MIDI device comes back from the device program unchanged.
. /scenarios/lib.sh
virmidi_load 1 || exit 1
device_start || exit 1
amidi -p hw:0,0 -S 'F0 7D 01 02 03 F7' -d -t 1 > received 2>&1
device_stop
virmidi_unload
tr -d ' \n' < received | grep -q 'F07D010203F7'
