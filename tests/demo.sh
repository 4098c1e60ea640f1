#!/bin/sh
# Runs the installer for the sample product: `make demo` calls it after building.
#   demo.sh BUILD_DIR (absolute)
# On the user's display (DISPLAY set and reachable) the installer simply opens
# under Wine and the user clicks through it. Without one, it runs on a virtual
# display, where the end-to-end driver walks the wizard through a full
# installation and reports what was installed, where, and the screenshots taken.
# Each run starts from a fresh Wine prefix inside BUILD_DIR/demo.
set -eu
build=$1
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tests/wine/standalone.sh"
arch=$(sh "$here/cmake/wine-arch.sh")
if [ "$arch" = i686 ]; then
  tree=$build/win32 wine=/usr/lib/wine/wine wineserver=/usr/lib/wine/wineserver32
else
  tree=$build/win64 wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver64
fi
installer=$tree/vorn-setup.exe
driver=$tree/tests/win/e2e/e2e_driver.exe
demo=$build/demo
[ -f "$installer" ] || { echo "no installer at $installer: run make wintest first"; exit 1; }

# The product the payload was built from, for comparing the installed files.
product=$(sed -n 's/^VORN_PRODUCT_DIR:[A-Z]*=//p' "$tree/CMakeCache.txt")
if [ "$(realpath "$product")" = "$(realpath "$here/sample")" ]; then product=$tree/product; fi

echo "== The deliverable"
"$build/host/tools/vornpack" verify "$here/out/vorn-setup.exe" || true
echo

rm -rf "$demo"
mkdir -p "$demo/home"
export WINEPREFIX="$demo/prefix" HOME="$demo/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

display_reachable() {
  [ -n "${DISPLAY:-}" ] || return 1
  if command -v xdpyinfo >/dev/null 2>&1; then xdpyinfo >/dev/null 2>&1; return; fi
  import -window root -crop 1x1+0+0 null: >/dev/null 2>&1
}

if display_reachable; then
  echo "== Opening the installer on $DISPLAY (Wine prefix $WINEPREFIX)"
  echo "   Installing goes into the prefix's C: drive: $WINEPREFIX/drive_c"
  boot_prefix "$demo"
  "$wine" "$installer" || true
  "$wineserver" -w
  exit 0
fi

echo "== No display: running the installer on a virtual display, driven through a full installation"
start_virtual_display "$demo"
boot_prefix "$demo"

shots=$demo/screenshots
status=0
"$wine" "$driver" demo "$installer" "$product" "$shots" || status=$?
"$wineserver" -k 2>/dev/null || true
echo "Windows drive C: of this run: $WINEPREFIX/drive_c"
echo "Screenshots of the five pages: $shots"
ls "$shots" 2>/dev/null | sed 's/^/  /'
exit $status
