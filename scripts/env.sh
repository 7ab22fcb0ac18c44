# Shared by the run and test commands: the build layout, the Wine loader,
# virtual displays and private Wine prefixes. Source it; do not run it.

SKARDEL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
SKARDEL_BUILD=${SKARDEL_BUILD:-$SKARDEL_ROOT/build}
# Background processes to stop at the end (a file: start_xvfb runs in a
# subshell when its output is captured).
SKARDEL_PIDFILE=$(mktemp /tmp/skardel-pids.XXXXXX)

export WINEDEBUG=-all
# Keeps Wine from offering to install Mono or Gecko, a dialog that would hang
# a run without a person in front of it.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Whether this machine runs 32-bit x86 code itself. Some virtual machines do
# not; there the programs are built for x86-64 as well and run under the
# 64-bit Wine loader.
native_i386() {
    if [ -f /proc/sys/fs/binfmt_misc/qemu-i386 ] &&
        grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386; then
        return 1
    fi
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The architecture the runnable programs are built for: i686 or x86_64.
runnable_arch() {
    if [ -n "${SKARDEL_ARCH:-}" ]; then
        echo "$SKARDEL_ARCH"
    elif native_i386; then
        echo i686
    else
        echo x86_64
    fi
}

wine_loader() {
    if [ "$1" = i686 ]; then echo wine; else echo /usr/lib/wine/wine64; fi
}

wineserver_for() {
    if [ "$1" = i686 ]; then echo wineserver; else echo /usr/lib/wine/wineserver64; fi
}

cmake_build() { # <arch> <build dir> [cmake options...]
    local target=$1 dir=$2
    shift 2
    cmake -S "$SKARDEL_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$SKARDEL_ROOT/cmake/mingw-$target.cmake" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

# Starts an Xvfb of the given depth and size and prints its display name.
start_xvfb() { # <depth> [WIDTHxHEIGHT]
    local depth=$1 size=${2:-1024x768} n=${SKARDEL_XVFB_BASE:-90} i=0
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 "${size}x$depth" -nolisten tcp >/dev/null 2>&1 &
    echo "$!" >>"$SKARDEL_PIDFILE"
    while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    echo ":$n"
}

# Creates (once) a private Wine prefix and keeps its server running.
prepare_prefix() { # <arch> <prefix dir> <display>
    local target=$1 prefix=$2
    if [ ! -f "$prefix/system.reg" ]; then
        mkdir -p "$prefix"
        echo "preparing Wine prefix $prefix" >&2
        WINEPREFIX=$prefix DISPLAY=$3 timeout 300 "$(wine_loader "$target")" wineboot -i >/dev/null 2>&1 || true
    fi
    WINEPREFIX=$prefix DISPLAY=$3 "$(wineserver_for "$target")" -p >/dev/null 2>&1 || true
    echo "prefix $target:$prefix" >>"$SKARDEL_PIDFILE"
}

# Without a window manager, Wine waits two seconds for one to withdraw each
# full-screen window it hides; on the virtual displays Wine places windows
# itself instead.
unmanaged_windows() { # <arch> <prefix dir> <display>
    WINEPREFIX=$2 DISPLAY=$3 "$(wine_loader "$1")" reg add 'HKCU\Software\Wine\X11 Driver' \
        /v Managed /d N /f >/dev/null 2>&1 || true
}

stop_all() {
    [ -f "$SKARDEL_PIDFILE" ] || return 0
    # Wine's processes first (they may hold the display), then the displays.
    grep '^prefix ' "$SKARDEL_PIDFILE" | while read -r _ entry; do
        WINEPREFIX=${entry#*:} "$(wineserver_for "${entry%%:*}")" -k >/dev/null 2>&1 || true
    done
    grep -v '^prefix ' "$SKARDEL_PIDFILE" | while read -r pid; do
        kill "$pid" 2>/dev/null || true
    done
    rm -f "$SKARDEL_PIDFILE"
}
