#!/bin/sh
# Regenerates the README's pictures of the wizard: runs the full-installation
# end-to-end test, which saves every page as PNG, and copies the pages, the abort
# question and the error box into docs/screenshots, recompressed.
#   screenshots.sh BUILD_DIR (absolute)
set -eu
build=$1
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(sh "$here/cmake/wine-arch.sh")" = i686 ]; then tree=$build/win32; else tree=$build/win64; fi
rm -rf "$tree/screenshots"
ctest --test-dir "$tree" -R '^e2e_install$' --output-on-failure
mkdir -p "$here/docs/screenshots"
for name in page0-welcome page1-licence page2-options page3-progress page4-finish abort-question error-1; do
  # The test writes plain stored PNGs; these are the compressed copies kept in git.
  /usr/bin/convert "$tree/screenshots/$name.png" -strip -define png:compression-level=9 \
    "$here/docs/screenshots/$name.png"
done
echo "Screenshots in $here/docs/screenshots"
