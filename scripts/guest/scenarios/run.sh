# Runs one scenario of /scenarios/scenarios.txt in the current folder.
# Usage: sh /scenarios/run.sh NAME
. /scenarios/lib.sh
. /scenarios/host_root.sh
. /scenarios/wine.sh
. /scenarios/web.sh
name=$1

# Not in the table: the link alone, for telling a broken link from a broken tool.
if [ "$name" = usb_link ]; then
  devices_start controller "" || exit 1
  status=0
  link_check || status=1
  devices_stop || status=1
  exit $status
fi

# Not in the table either: the time to find the controller among a Windows 11 PC's loopbacks.
if [ "$name" = usb_search_time ]; then
  search_time
  exit
fi

found=
while IFS='|' read -r row kind devices image device twin arguments; do
  if [ "$(echo $row)" = "$name" ]; then found=1; break; fi
done < /scenarios/scenarios.txt
[ -n "$found" ] || { echo "no scenario $name"; exit 1; }
kind=$(echo $kind) devices=$(echo $devices) image=$(echo $image) device=$(echo $device)
arguments=$(echo $arguments)

case "$kind" in
  usb) ;;
  wine|wine_64) wine_start "$kind" || exit 1 ;;
  web|web_firefox)
    [ -z "$arguments" ] || { echo "scenario $name: the page takes no arguments"; exit 1; }
    web_start || exit 1 ;;
  *) echo "scenario $name: no kind $kind"; exit 1 ;;
esac
devices_start "$devices" "$device" || exit 1
case "$kind" in
  usb) tool_run "$image" $arguments ;;
  wine|wine_64) wine_run "$image" $arguments ;;
  web_firefox) web_run "$image" firefox ;;
  web) web_run "$image" chromium ;;
esac
devices_stop
