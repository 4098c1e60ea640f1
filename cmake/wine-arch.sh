#!/bin/sh
# Prints the Windows architecture whose programs this machine's Wine can run:
# i686 when 32-bit Linux code executes here (Wine's 32-bit loader starts), else
# x86_64 (kernels built or booted without 32-bit emulation refuse i386 code, and
# only the 64-bit loader works).
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
