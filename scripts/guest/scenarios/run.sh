# Runs one scenario of /scenarios/scenarios.txt in the current folder.
# Usage: sh /scenarios/run.sh NAME
. /scenarios/lib.sh
. /scenarios/wine.sh
name=$1

# Not in the table: each link alone, for telling a broken link from a broken tool.
if [ "$name" = link ]; then
  virmidi_load 1 || exit 1
  device_start "" || exit 1
  status=0
  link_check || status=1
  devices_stop || status=1
  virmidi_unload || status=1
  exit $status
fi
if [ "$name" = usb_link ]; then
  usb_devices_start 1 "" || exit 1
  status=0
  link_check || status=1
  devices_stop || status=1
  exit $status
fi

found=
while IFS='|' read -r row kind devices image device twin; do
  if [ "$(echo $row)" = "$name" ]; then found=1; break; fi
done < /scenarios/scenarios.txt
[ -n "$found" ] || { echo "no scenario $name"; exit 1; }
kind=$(echo $kind) devices=$(echo $devices) image=$(echo $image) device=$(echo $device)

status=0
case "$kind" in
  usb)
    usb_devices_start "$devices" "$device" || exit 1
    tool_run "$image"
    devices_stop || status=1
    ;;
  virmidi)
    virmidi_load "$devices" || exit 1
    device_pids=
    if [ "$device" != none ]; then device_start "$device" || exit 1; fi
    tool_run "$image"
    devices_stop || status=1
    virmidi_unload || status=1
    ;;
  wine)
    wine_start || exit 1
    usb_devices_start "$devices" "$device" || exit 1
    wine_run "$image"
    devices_stop || status=1
    ;;
  *) echo "scenario $name: no kind $kind"; exit 1 ;;
esac
exit $status
