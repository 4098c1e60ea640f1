#!/bin/sh
# Runs one engine test through tests/wine/run.sh with two more Wine drives:
# D: a folder of the build tree, T: a tmpfs of 64 KiB and 64 inodes, mounted
# here and unmounted on every way out.
#   with_drives.sh NAME PROGRAM [ARGS...]
# Environment from ctest as for run.sh.
set -u
name=$1
here=$(cd "$(dirname "$0")" && pwd)
drives="$VORN_WINE_ROOT/drives/$name"
if mountpoint -q "$drives/t" 2>/dev/null; then umount "$drives/t"; fi
rm -rf "$drives"
mkdir -p "$drives/d" "$drives/t"
if ! mount -t tmpfs -o size=64k,nr_inodes=64,mode=0777 vorn-test-disk "$drives/t"; then
  echo "cannot mount a tmpfs for drive T: (needs root)"
  exit 1
fi
# Lazy: a Wine process killed at the deadline may still hold a file there.
cleanup() {
  umount -l "$drives/t" 2>/dev/null
  rm -rf "$drives"
}
trap 'cleanup; exit 130' INT TERM
# Ends before ctest's own deadline (300 s), which would kill this script too
# and leave the mount behind.
VORN_REAL_WINE=$VORN_WINE VORN_DRIVE_D="$drives/d" VORN_DRIVE_T="$drives/t" \
  VORN_WINE="$here/wine_drives.sh" timeout -k 10 270 sh "$here/../../wine/run.sh" "$@"
rc=$?
cleanup
exit $rc
