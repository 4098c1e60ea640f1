#!/bin/sh
# Stands in for wine in with_drives.sh: maps the test's drives into the prefix
# that run.sh has just made, then runs the real wine.
ln -sfn "$VORN_DRIVE_D" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$VORN_DRIVE_T" "$WINEPREFIX/dosdevices/t:"
exec "$VORN_REAL_WINE" "$@"
