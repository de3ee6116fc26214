# The page in Chromium or Firefox in the guest, sourced by the scenario runner after host_root.sh:
# the host's own browsers and node, driven by the page's test driver (tests/web/page_run.mjs)
# through the browser's real Web MIDI, which reaches the USB device through ALSA's sequencer.

# The host's root and the guest's loopback, on which the driver serves the page.
web_prepare() {
  host_root_mount || return 1
  ifconfig lo 127.0.0.1 up || { echo "no loopback interface"; return 1; }
  [ -f "$HOST_ROOT$SHARE/tests/web/page_run.mjs" ] || { echo "no page driver in $SHARE"; return 1; }
}

web_start() {
  start_once Chromium web_prepare
}

# Chromium lists ALSA's MIDI ports only once udev has said that every sound card is set up, and no
# udev runs here: say it for each card there is now. (Firefox lists them without.)
announce_sound_cards() {
  mkdir -p "$HOST_ROOT/run/udev/data"
  for card in /sys/class/sound/card*; do
    [ -e "$card" ] || continue
    echo "E:SOUND_INITIALIZED=1" > "$HOST_ROOT/run/udev/data/+sound:${card##*/}"
  done
}

# A person's update from the page in browser $2: the image chosen, the button pressed, the browser
# asked for its MIDI devices then. Keeps the console panel's text, the outcome shown and a
# screenshot.
web_run() {
  run=$SHARE/run
  rm -rf "$HOST_ROOT$run"
  mkdir "$HOST_ROOT$run"
  cp "/images/$1" "$HOST_ROOT$run/"
  announce_sound_cards
  start=$(uptime_ms)
  in_host_root TMPDIR=/tmp TAMBRELL_BROWSER="$2" node "$SHARE/tests/web/page_run.mjs" \
    "$run/$1" "$run/page" \
    < /dev/null > web.out 2> web.err
  echo $(($(uptime_ms) - start)) > wall-ms
  cp "$HOST_ROOT$run/page/console.txt" "$HOST_ROOT$run/page/outcome.txt" \
    "$HOST_ROOT$run/page/page.png" .
}
