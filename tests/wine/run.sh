#!/bin/sh
# Runs one Windows test program under Wine in a prefix and home of its own,
# copied from the run's template prefix, on the run's virtual display.
#   run.sh NAME PROGRAM [ARGS...]
# Environment from ctest: VORN_WINE_ROOT, VORN_WINE, VORN_WINESERVER.
# The program sees VORN_TEST_PREFIX and VORN_TEST_HOME (Linux paths) too.
set -u
name=$1; shift
root=$VORN_WINE_ROOT
prefix="$root/prefixes/$name"
home="$root/homes/$name"
rm -rf "$prefix" "$home"
mkdir -p "$root/prefixes" "$home"
# Hard links keep the copy cheap; files that Wine or a test rewrites in place are
# copied for real so that no test changes the template.
cp -al "$root/template" "$prefix"
find "$prefix" -maxdepth 1 -name '*.reg' -exec sh -c 'cp --remove-destination "$1" "$1.tmp" && mv "$1.tmp" "$1"' _ {} \;
find "$prefix/drive_c/windows" -maxdepth 1 -name '*.ini' -exec sh -c 'cp "$1" "$1.tmp" && mv "$1.tmp" "$1"' _ {} \;
# The user's shell folders point at the template's home: give this test real ones.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
done
export WINEPREFIX="$prefix" HOME="$home" WINEDEBUG="${WINEDEBUG:--all}"
export DISPLAY="$(cat "$root/display")" WINEDLLOVERRIDES="mscoree,mshtml="
export VORN_TEST_PREFIX="$prefix" VORN_TEST_HOME="$home"
"$VORN_WINE" "$@"
rc=$?
"$VORN_WINESERVER" -k 2>/dev/null
"$VORN_WINESERVER" -w 2>/dev/null
[ $rc -eq 0 ] && rm -rf "$prefix" "$home"
exit $rc
