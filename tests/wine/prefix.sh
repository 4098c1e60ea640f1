#!/bin/sh
# Set-up and clean-up of one ctest run's Wine environment under ROOT (inside the
# build tree): a template prefix booted once, and a virtual X display.
#   prefix.sh setup ROOT WINE WINESERVER
#   prefix.sh cleanup ROOT WINESERVER
set -eu
action=$1 root=$2
case "$action" in
setup)
  wine=$3 wineserver=$4
  mkdir -p "$root"
  # The display first: wineboot and every test draw on it.
  if [ -f "$root/xvfb.pid" ] && kill -0 "$(cat "$root/xvfb.pid")" 2>/dev/null; then
    kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$root/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$root/display.tmp" >"$root/xvfb.log" 2>&1 &
  echo $! >"$root/xvfb.pid"
  deadline=$(( $(date +%s) + 30 ))
  while [ ! -s "$root/display.tmp" ]; do
    [ "$(date +%s)" -lt "$deadline" ] || { echo "Xvfb did not start"; cat "$root/xvfb.log"; exit 1; }
    sleep 0.1
  done
  echo ":$(head -n1 "$root/display.tmp")" >"$root/display"
  if [ ! -f "$root/template/.vorn-ready" ]; then
    rm -rf "$root/template" "$root/template-home"
    mkdir -p "$root/template-home"
    # No Mono or Gecko: nothing here needs them, and they cannot be downloaded.
    HOME="$root/template-home" WINEPREFIX="$root/template" WINEDEBUG=-all \
      WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$(cat "$root/display")" \
      "$wine" wineboot -i >"$root/wineboot.log" 2>&1 || true
    HOME="$root/template-home" WINEPREFIX="$root/template" "$wineserver" -w
    [ -f "$root/template/system.reg" ] || { echo "wineboot failed"; cat "$root/wineboot.log"; exit 1; }
    touch "$root/template/.vorn-ready"
  fi
  ;;
cleanup)
  wineserver=$3
  if [ -f "$root/xvfb.pid" ]; then
    kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
    rm -f "$root/xvfb.pid" "$root/display"
  fi
  ;;
*)
  echo "usage: prefix.sh setup|cleanup ROOT ..." >&2; exit 2 ;;
esac
