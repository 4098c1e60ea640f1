#!/bin/sh
# Runs the engine benchmark under Wine in a Wine root of its own (its own
# template prefix and display), cleaned up on every way out.
#   bench_run.sh ROOT WINE WINESERVER PROGRAM [ARGS...]
set -u
root=$1 wine=$2 wineserver=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
sh "$here/../../wine/prefix.sh" setup "$root" "$wine" "$wineserver" || exit 1
VORN_WINE_ROOT=$root VORN_WINE=$wine VORN_WINESERVER=$wineserver \
  sh "$here/../../wine/run.sh" engine_bench "$@"
rc=$?
sh "$here/../../wine/prefix.sh" cleanup "$root" "$wineserver"
exit $rc
