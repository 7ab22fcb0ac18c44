# Which programs this machine can run, and with which Wine loader. Sourced by
# the bootstrap, env.sh and the emulated loader; defines functions (and
# where the scripts are) only.

SKARDEL_SCRIPTS=$(cd "$(dirname "$0")" && pwd)

# Whether this machine runs 32-bit x86 code itself. Some virtual machines do
# not, and that is known before any i386 package exists: a tiny static 32-bit
# program made with the host's own binutils either runs or fails with "Exec
# format error". Where an enabled binfmt_misc entry takes i386 programs
# (qemu's user-mode emulation, whatever the entry is called), the kernel hands
# every one of them to it, so the tiny program would run there too: such a
# machine counts as emulating, never as running 32-bit code itself.
runs_i386() {
    if [ -n "${SKARDEL_RUNS_I386:-}" ]; then
        [ "$SKARDEL_RUNS_I386" = 1 ]
        return
    fi
    ! i386_binfmt_entries | grep -q . || return 1
    command -v as >/dev/null 2>&1 && command -v ld >/dev/null 2>&1 || return 1
    local dir rc
    dir=$(mktemp -d "${TMPDIR:-/tmp}/skardel-i386.XXXXXX")
    tiny_i386_program "$dir/t" && "$dir/t" 2>/dev/null
    rc=$?
    rm -rf "$dir"
    return $rc
}

# Makes a static 32-bit program that does nothing but exit with 0.
tiny_i386_program() { # <path>
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$1.s" &&
        as --32 -o "$1.o" "$1.s" 2>/dev/null && ld -m elf_i386 -o "$1" "$1.o" 2>/dev/null
}

binfmt_dir() { echo "${SKARDEL_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}"; }

# The names of the enabled binfmt_misc entries for i386 ELF programs: their
# magic is an ELF header of class 32 whose machine field (bytes 18 and 19)
# is 3.
i386_binfmt_entries() {
    local f
    for f in "$(binfmt_dir)"/*; do
        [ -f "$f" ] && grep -qx enabled "$f" 2>/dev/null &&
            grep -Eq '^magic 7f454c4601[0-9a-f]{26}0300' "$f" && basename "$f"
    done
}

# Where the 32-bit Wine that runs under emulation is kept: outside any clone,
# so that a later run and a fresh clone on the same machine reuse it.
i386_cache() { echo "${SKARDEL_CACHE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/skardel}/i386"; }
# The binfmt_misc entry that runs i386 programs with the cached qemu.
I386_ENTRY=skardel-i386

# Whether 32-bit programs run here under qemu's user-mode emulation: the
# machine does not run them itself, the cached tree is complete, and the
# entry is in place and enabled.
i686_emulated() {
    ! runs_i386 && [ -f "$(i386_cache)/ready" ] && [ -f "$(binfmt_dir)/$I386_ENTRY" ] &&
        grep -qx enabled "$(binfmt_dir)/$I386_ENTRY"
}

# The first executable of the given paths.
first_executable() {
    local p
    for p in "$@"; do
        if [ -n "$p" ] && [ -x "$p" ] && [ ! -d "$p" ]; then
            echo "$p"
            return 0
        fi
    done
    return 1
}

# The Wine loader for programs built for <arch> (i686 or x86_64), found where
# the installed packages put it; nothing when there is none. The `wine` script
# is no answer for i686: without the 32-bit loader it quietly takes the
# 64-bit one, which cannot run 32-bit programs. Where 32-bit code runs only
# emulated, the i686 loader is our wrapper around the cached tree's.
wine_loader() { # <arch>
    if [ "$1" = i686 ]; then
        if ! runs_i386; then
            i686_emulated && echo "$SKARDEL_SCRIPTS/wine-emulated.sh"
            return
        fi
        first_executable $(dpkg -L wine32:i386 2>/dev/null | grep '/wine$') \
            /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine
    else
        host_wine64
    fi
}

host_wine64() {
    first_executable $(dpkg -L wine64 2>/dev/null | grep '/wine64$') \
        /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 \
        "$(command -v wine64 2>/dev/null)"
}

# The server beside that loader; the emulated 32-bit Wine talks to the
# host's own 64-bit server (the same Wine version).
wineserver_for() { # <arch>
    local loader dir
    if [ "$1" = i686 ] && runs_i386; then
        loader=$(wine_loader i686) || return 1
        dir=$(dirname "$loader")
        first_executable "$dir/wineserver" "$dir/wineserver32" "$dir/wineserver64" \
            "$(command -v wineserver 2>/dev/null)"
    else
        [ "$1" = x86_64 ] || i686_emulated || return 1
        loader=$(host_wine64) || return 1
        dir=$(dirname "$loader")
        first_executable "$dir/wineserver64" "$dir/wineserver" \
            "$(command -v wineserver 2>/dev/null)"
    fi
}

# Why the runnable programs are not the 32-bit ones; nothing when they are.
why_not_i686() {
    if [ "$(runnable_arch)" = i686 ]; then
        return 0
    elif [ -n "${SKARDEL_ARCH:-}" ]; then
        echo "SKARDEL_ARCH=$SKARDEL_ARCH chose another build"
    elif i686_emulated; then
        echo "this machine runs 32-bit x86 code only emulated: the tests named *_i686 run it"
    elif ! runs_i386; then
        echo "this machine cannot run 32-bit x86 code"
    else
        echo "the 32-bit Wine package (wine32:i386) is not installed"
    fi
}

# The architecture the runnable programs are built for: i686 where this
# machine runs 32-bit code and has the 32-bit Wine loader, else x86_64.
runnable_arch() {
    if [ -n "${SKARDEL_ARCH:-}" ]; then
        echo "$SKARDEL_ARCH"
    elif runs_i386 && wine_loader i686 >/dev/null; then
        echo i686
    else
        echo x86_64
    fi
}

# Wine's X11 driver loads these at run time, and Debian's Wine only
# recommends them: without them it changes no display mode (a 24-bit desktop
# cannot give the saver 16 bits) and sees one screen for all monitors.
wine_x_libraries() { # [:arch]
    local lib
    for lib in libxrandr2 libxinerama1 libxcursor1 libxi6 libxrender1 libxcomposite1 libxfixes3 libxxf86vm1; do
        printf '%s%s ' "$lib" "${1:-}"
    done
}
