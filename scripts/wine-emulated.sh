#!/bin/sh
# The Wine loader for 32-bit programs on a machine that runs them only
# emulated (scripts/emulate-i386.sh): the cached 32-bit Wine, whose every
# process qemu runs with the cached libraries, and the host's own 64-bit
# server (the same Wine version). New prefixes are 32-bit ones.
#   wine-emulated.sh <program> [arguments...]
. "$(dirname "$0")/arch.sh"
root=$(i386_cache)/root
loader=$root/usr/lib/wine/wine
QEMU_LD_PREFIX=$root
WINESERVER=$(wineserver_for x86_64)
WINEARCH=${WINEARCH:-win32}
export QEMU_LD_PREFIX WINESERVER WINEARCH

# Debian's Wine links its user32 with zlib1.dll, which it finds beside its
# own DLLs in every process a Wine process starts, but not (under qemu) in
# the first one, started from here: a copy in the prefix's system folder
# serves that one too. A new prefix is made first, by a start that fails at
# its end for that very reason.
system=${WINEPREFIX:-$HOME/.wine}/drive_c/windows/system32
if [ ! -f "$system/zlib1.dll" ]; then
    [ -d "$system" ] || "$loader" wineboot -i >/dev/null 2>&1
    cp "$root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll" "$system/" 2>/dev/null
fi
exec "$loader" "$@"
