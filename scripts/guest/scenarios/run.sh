# Runs one scenario of /scenarios/scenarios.txt in the current folder.
# Usage: sh /scenarios/run.sh NAME
. /scenarios/lib.sh
. /scenarios/host_root.sh
. /scenarios/wine.sh
name=$1

# Not in the table: the link alone, for telling a broken link from a broken tool.
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

case "$kind" in
  usb) ;;
  wine) wine_start || exit 1 ;;
  *) echo "scenario $name: no kind $kind"; exit 1 ;;
esac
usb_devices_start "$devices" "$device" || exit 1
if [ "$kind" = usb ]; then tool_run "$image"; else wine_run "$image"; fi
devices_stop
