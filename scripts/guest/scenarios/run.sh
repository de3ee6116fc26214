# Runs one scenario of /scenarios/scenarios.txt in the current folder.
# Usage: sh /scenarios/run.sh NAME
. /scenarios/lib.sh
name=$1

# Not in the table: the link alone, for telling a broken link from a broken tool.
if [ "$name" = link ]; then
  virmidi_load 1 || exit 1
  device_start "" || exit 1
  status=0
  link_check || status=1
  device_stop || status=1
  virmidi_unload || status=1
  exit $status
fi

found=
while IFS='|' read -r row devices image device twin; do
  if [ "$(echo $row)" = "$name" ]; then found=1; break; fi
done < /scenarios/scenarios.txt
[ -n "$found" ] || { echo "no scenario $name"; exit 1; }
devices=$(echo $devices) image=$(echo $image) device=$(echo $device)

virmidi_load "$devices" || exit 1
status=0
if [ "$device" = none ]; then
  tool_run "$image"
else
  device_start "$device" || exit 1
  tool_run "$image"
  device_stop || status=1
fi
virmidi_unload || status=1
exit $status
