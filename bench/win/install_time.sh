#!/bin/sh
# Time from pressing Install to the finish page, under Wine on a virtual display,
# next to the floor the pump's design sets: one 25 ms timer wait per pump step
# (each step reads 15000 bytes of the installer) plus the time to decode the
# files (measured natively with vornpack extract).
#   install_time.sh BUILD_DIR (absolute)   after `make wintest`
set -eu
build=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tests/wine/standalone.sh"
if [ "$(sh "$here/cmake/wine-arch.sh")" = i686 ]; then
  tree=$build/win32 wine=/usr/lib/wine/wine wineserver=/usr/lib/wine/wineserver32
else
  tree=$build/win64 wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver64
fi
installer=$tree/vorn-setup.exe
vornpack=$build/host/tools/vornpack
work=$build/bench-install
rm -rf "$work"
mkdir -p "$work/home"

# The floor. The pump reads from the file's first byte to the closing marker.
payload_end=$(python3 - "$installer" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
marker = b"ZO" + b"LT"
first = data.find(marker)
end = data.find(marker + marker, first)
print(end + 8)
EOF
)
steps=$(( payload_end / 15001 + 1 ))
start=$(date +%s%N)
"$vornpack" extract "$installer" "$work/extracted" >/dev/null
decode_ms=$(( ($(date +%s%N) - start) / 1000000 ))
installed=$(cat "$work/extracted"/* | wc -c)
echo "product: $installed bytes installed; pump reads $payload_end bytes in $steps steps"
echo "floor: $steps x 25 ms + decode $decode_ms ms = $(( steps * 25 + decode_ms )) ms"

export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
start_virtual_display "$work"
boot_prefix "$work"
"$wine" "$tree/tests/win/e2e/e2e_driver.exe" bench "$installer" "$work/extracted" -
"$wineserver" -k 2>/dev/null || true
