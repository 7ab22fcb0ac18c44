# Which programs this machine can run, and with which Wine loader. Sourced by
# the bootstrap and by env.sh; defines functions only.

# Whether this machine runs 32-bit x86 code itself. Some virtual machines do
# not, and that is known before any i386 package exists: a tiny static 32-bit
# program made with the host's own binutils either runs or fails with "Exec
# format error". An emulated i386 (qemu binfmt) counts as no.
runs_i386() {
    if [ -n "${SKARDEL_RUNS_I386:-}" ]; then
        [ "$SKARDEL_RUNS_I386" = 1 ]
        return
    fi
    if [ -f /proc/sys/fs/binfmt_misc/qemu-i386 ] &&
        grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386; then
        return 1
    fi
    command -v as >/dev/null 2>&1 && command -v ld >/dev/null 2>&1 || return 1
    local dir rc
    dir=$(mktemp -d "${TMPDIR:-/tmp}/skardel-i386.XXXXXX")
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/t.s"
    if as --32 -o "$dir/t.o" "$dir/t.s" 2>/dev/null &&
        ld -m elf_i386 -o "$dir/t" "$dir/t.o" 2>/dev/null &&
        "$dir/t" 2>/dev/null; then
        rc=0
    else
        rc=1
    fi
    rm -rf "$dir"
    return $rc
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
# 64-bit one, which cannot run 32-bit programs.
wine_loader() { # <arch>
    if [ "$1" = i686 ]; then
        first_executable $(dpkg -L wine32:i386 2>/dev/null | grep '/wine$') \
            /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine
    else
        first_executable $(dpkg -L wine64 2>/dev/null | grep '/wine64$') \
            /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 \
            "$(command -v wine64 2>/dev/null)"
    fi
}

# The server beside that loader.
wineserver_for() { # <arch>
    local loader dir
    loader=$(wine_loader "$1") || return 1
    dir=$(dirname "$loader")
    if [ "$1" = i686 ]; then
        first_executable "$dir/wineserver" "$dir/wineserver32" "$dir/wineserver64" \
            "$(command -v wineserver 2>/dev/null)"
    else
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
