#!/bin/sh
# Installs everything the build, the run command and the tests need, when it is
# missing. Safe to run again: it does nothing once all is in place.
set -eu

SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

need=
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || need=1
command -v i686-w64-mingw32-windres >/dev/null 2>&1 || need=1
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need=1
[ -x /usr/lib/wine/wine64 ] || need=1
command -v wine >/dev/null 2>&1 || need=1
command -v Xvfb >/dev/null 2>&1 || need=1
command -v xdotool >/dev/null 2>&1 || need=1
command -v import >/dev/null 2>&1 || need=1
command -v cmake >/dev/null 2>&1 || need=1
command -v g++ >/dev/null 2>&1 || need=1
[ -f /usr/src/googletest/CMakeLists.txt ] || need=1
dpkg -s wine32:i386 >/dev/null 2>&1 || need=1

if [ -z "$need" ]; then
    exit 0
fi

echo "bootstrap: installing build and test packages" >&2
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
    wine wine32:i386 wine64 \
    g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev \
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
    xvfb xdotool x11-apps imagemagick \
    cmake make g++ googletest ca-certificates >/dev/null
echo "bootstrap: done" >&2
