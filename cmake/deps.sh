#!/bin/sh
# Installs what the build and the tests need on a Debian 12 machine, only when it is missing.
set -e
need=""
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
for p in cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev \
         g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
         wine wine32:i386 wine64 xvfb xauth x11-apps \
         imagemagick python3; do
  have_pkg "$p" || need="$need $p"
done
[ -z "$need" ] && exit 0
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
echo "Installing:$need"
case "$need" in *":i386"*)
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386 ;;
esac
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $need
