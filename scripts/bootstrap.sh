#!/bin/sh
# Installs everything the build, the run command and the tests need, when it is
# missing, and the packages named as arguments (a command's own needs). Safe
# to run again: it does nothing once all is in place.
#
# Two steps. The packages every machine needs come first, and a needed package
# that cannot be installed ends the script with its name. The 32-bit Wine
# comes second: installed as a package on a machine that runs 32-bit code,
# unpacked into a folder of ours and run under qemu on one that does not
# (emulate-i386.sh; not when SKARDEL_ARCH=x86_64 leaves the 32-bit programs
# out). A mirror can refuse it for days, so failing there is said in one line
# and the x86-64 build carries on.
set -eu
. "$(dirname "$0")/arch.sh"

SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
LOG=${SKARDEL_BOOTSTRAP_LOG:-${TMPDIR:-/tmp}/skardel-bootstrap.log}

NEEDED="wine wine64
    g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    xvfb xdotool x11-apps imagemagick fonts-wine
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    cmake make g++ binutils googletest ca-certificates
    $(wine_x_libraries)
    $*"
WINE32="wine32:i386 $(wine_x_libraries :i386)"

# A library installed for two architectures needs its own one named.
installed() {
    { dpkg -s "$1" 2>/dev/null || dpkg -s "$1:$(dpkg --print-architecture)" 2>/dev/null; } |
        grep -q '^Status: install ok installed'
}

missing_of() { # <package...>: prints those not installed
    for p in "$@"; do
        installed "$p" || printf '%s ' "$p"
    done
}

# A failing or partial update (an index out of step with the others) is not
# fatal by itself: what counts is whether the packages install afterwards.
updated=
apt_update() {
    [ -z "$updated" ] || return 0
    updated=1
    $SUDO apt-get update >>"$LOG" 2>&1 && return 0
    echo "bootstrap: apt-get update failed; trying once more" >&2
    $SUDO apt-get update >>"$LOG" 2>&1 && return 0
    echo "bootstrap: apt-get update failed again; going on with the package lists at hand" >&2
}

apt_install() { # <package...>
    $SUDO apt-get install -y --no-install-recommends "$@" >>"$LOG" 2>&1
}

# shellcheck disable=SC2086
missing=$(missing_of $NEEDED)
if [ -n "$missing" ]; then
    echo "bootstrap: installing ${missing}(log: $LOG)" >&2
    apt_update
    # shellcheck disable=SC2086
    if ! apt_install $missing; then
        # One refused package fails the whole set: install the rest alone.
        for p in $missing; do
            apt_install "$p" || true
        done
    fi
    # shellcheck disable=SC2086
    still=$(missing_of $missing)
    if [ -n "$still" ]; then
        echo "bootstrap: needed packages could not be installed: ${still}(see $LOG)" >&2
        exit 1
    fi
fi

install_wine32() {
    added=
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386 >>"$LOG" 2>&1 || return 1
        added=1
        updated=
    fi
    apt_update
    # shellcheck disable=SC2086
    if apt_install $WINE32 && [ -z "$(missing_of $WINE32)" ]; then
        return 0
    fi
    # Leave the host as it was: nothing of i386 got installed.
    if [ -n "$added" ]; then
        $SUDO dpkg --remove-architecture i386 >>"$LOG" 2>&1 || true
    fi
    return 1
}

if runs_i386; then
    # shellcheck disable=SC2086
    if [ -n "$(missing_of $WINE32)" ]; then
        echo "bootstrap: installing the 32-bit Wine package (log: $LOG)" >&2
        install_wine32 ||
            echo "bootstrap: wine32:i386 cannot be installed (see $LOG); going on with the x86-64 build" >&2
    fi
elif [ "${SKARDEL_ARCH:-}" != x86_64 ]; then
    SKARDEL_BOOTSTRAP_LOG=$LOG "$SKARDEL_SCRIPTS/emulate-i386.sh" || true
fi
exit 0
