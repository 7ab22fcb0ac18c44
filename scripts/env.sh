# Shared by the run and test commands: the build layout, the Wine loader,
# virtual displays and private Wine prefixes. Source it; do not run it.

SKARDEL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
SKARDEL_BUILD=${SKARDEL_BUILD:-$SKARDEL_ROOT/build}
# Background processes to stop at the end (a file: start_xvfb runs in a
# subshell when its output is captured).
SKARDEL_PIDFILE=$(mktemp "${TMPDIR:-/tmp}/skardel-pids.XXXXXX")
# In place before anything else runs, so that a failing bootstrap or build
# leaves no temporary file, display or Wine server behind.
trap stop_all EXIT
trap 'exit 130' INT TERM

. "$SKARDEL_ROOT/scripts/arch.sh"

export WINEDEBUG=-all
# Keeps Wine from offering to install Mono or Gecko, a dialog that would hang
# a run without a person in front of it.
export WINEDLLOVERRIDES="mscoree,mshtml="

cmake_build() { # <arch> <build dir> [cmake options...]
    local target=$1 dir=$2
    shift 2
    local loader
    # The loader that runs this build's test programs, where there is one.
    if loader=$(wine_loader "$target"); then
        set -- -DSKARDEL_WINE="$loader" "$@"
    fi
    cmake -S "$SKARDEL_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$SKARDEL_ROOT/cmake/mingw-$target.cmake" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

# Where the test programs for <arch> are built. The 32-bit ones have a tree
# of their own: GoogleTest needs the POSIX thread model, whose runtime the
# shipped build (build/i686) leaves out.
tests_build_dir() { # <arch>
    if [ "$1" = i686 ]; then
        echo "$SKARDEL_BUILD/i686-tests"
    else
        echo "$SKARDEL_BUILD/$1"
    fi
}

cmake_build_tests() { # <arch> [cmake options...]
    local target=$1
    shift
    if [ "$target" = i686 ]; then
        set -- -DSKARDEL_THREAD_MODEL=posix "$@"
    fi
    cmake_build "$target" "$(tests_build_dir "$target")" -DSKARDEL_BUILD_TESTS=ON "$@"
}

# Starts an Xvfb of the given depth and size and prints its display name.
# A display counts only once its server is seen running with its socket up;
# one that dies (another server took the number meanwhile) makes way for the
# next number.
start_xvfb() { # <depth> [WIDTHxHEIGHT]
    local depth=$1 size=${2:-1024x768} n=${SKARDEL_XVFB_BASE:-90} tries=0 i pid
    while [ $tries -lt 20 ]; do
        tries=$((tries + 1))
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
            n=$((n + 1))
        done
        Xvfb ":$n" -screen 0 "${size}x$depth" -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        echo "$pid" >>"$SKARDEL_PIDFILE"
        i=0
        while kill -0 "$pid" 2>/dev/null && [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do
            sleep 0.1
            i=$((i + 1))
        done
        if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
            echo ":$n"
            return 0
        fi
        kill "$pid" 2>/dev/null || true
        n=$((n + 1))
    done
    echo "no virtual display could be started (Xvfb)" >&2
    return 1
}

# Creates (once) a private Wine prefix and keeps its server running. The
# prefix counts as ready only after a first start that succeeded (its marker
# file, naming the loader that made it); a half-made one, or one another
# loader made (the 32-bit Wine makes 32-bit prefixes under emulation, and
# 64-bit ones beside the 64-bit Wine), is made anew. Programs named after the
# display run as Skardel.scr does (see below).
prepare_prefix() { # <arch> <prefix dir> <display> [program.exe...]
    local target=$1 prefix=$2 display=$3 loader server try=0 exe
    if ! loader=$(wine_loader "$target") || ! server=$(wineserver_for "$target"); then
        echo "no Wine loader for $target programs is installed" >&2
        return 1
    fi
    while [ "$(cat "$prefix/.skardel-ready" 2>/dev/null)" != "$loader" ]; do
        if [ $try -ge 2 ]; then
            echo "the Wine prefix $prefix could not be made (wineboot failed twice)" >&2
            return 1
        fi
        try=$((try + 1))
        WINEPREFIX=$prefix "$server" -k >/dev/null 2>&1 || true
        rm -rf "$prefix"
        mkdir -p "$prefix"
        echo "preparing Wine prefix $prefix" >&2
        # The server writes the registry when it ends: wait for that before
        # looking at it.
        if WINEPREFIX=$prefix DISPLAY=$3 timeout 300 "$loader" wineboot -i >/dev/null 2>&1 &&
            WINEPREFIX=$prefix timeout 60 "$server" -w >/dev/null 2>&1 &&
            [ -f "$prefix/system.reg" ]; then
            echo "$loader" >"$prefix/.skardel-ready"
        fi
    done
    copy_wine_fonts "$prefix" || return 1
    WINEPREFIX=$prefix DISPLAY=$3 "$server" -p >/dev/null 2>&1 || true
    echo "prefix $target:$prefix" >>"$SKARDEL_PIDFILE"
    # Wine's Direct3D command stream makes each of our blits wait on a second
    # thread that spins meanwhile: off for Skardel.scr (and the programs
    # named, measured as it runs), the saver then keeps its frame rate on a
    # busy machine with half the processor time.
    shift 3
    for exe in Skardel.scr "$@"; do
        WINEPREFIX=$prefix DISPLAY=$display "$loader" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\Direct3D" \
            /v csmt /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    done
}

# Wine's own fonts, from Debian's fonts-wine, which this Wine does not load
# from its data folder: without them "MS Sans Serif" becomes another face,
# every dialog unit grows and labels are cut, and the close box shows "r" for
# want of Marlett. Prefixes made before get them too.
copy_wine_fonts() { # <prefix dir>
    local dir fonts=$1/drive_c/windows/Fonts f
    dir=$(dpkg -L fonts-wine 2>/dev/null | sed -n 's|/marlett\.ttf$||p' | head -1)
    if [ -z "$dir" ]; then
        echo "Wine's fonts (the package fonts-wine) are not installed" >&2
        return 1
    fi
    mkdir -p "$fonts"
    for f in marlett.ttf sserife.fon tahoma.ttf; do
        cmp -s "$dir/$f" "$fonts/$f" || cp "$dir/$f" "$fonts/$f" || return 1
    done
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
