# Sourced by the scripts that run Wine by themselves rather than under ctest (the
# demo, the install-time benchmark), each in a prefix and folder of its own.
# They set WINEPREFIX, wine and wineserver before calling these.

# start_virtual_display DIR: starts Xvfb (its log and display number in DIR),
# stops it when the script exits, and exports DISPLAY. Ends the script when the
# display has not come up within 30 s.
start_virtual_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" >"$1/xvfb.log" 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  deadline=$(( $(date +%s) + 30 ))
  while [ ! -s "$1/display" ]; do
    [ "$(date +%s)" -lt "$deadline" ] || { echo "Xvfb did not start"; exit 1; }
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$1/display")"
}

# boot_prefix DIR: creates the prefix (wineboot's output in DIR/wineboot.log) and
# waits until Wine has finished with it.
boot_prefix() {
  "$wine" wineboot -i >"$1/wineboot.log" 2>&1 || true
  "$wineserver" -w
}
