#!/bin/sh
# Builds Skardel.scr and every test program, then runs the whole suite under
# Wine on virtual displays with private Wine prefixes inside the build tree.
# Installs what it needs first. Extra arguments go to ctest.
set -eu
. "$(dirname "$0")/env.sh"
"$SKARDEL_ROOT/scripts/bootstrap.sh"

arch=$(runnable_arch)
# The shipped 32-bit executable, with the runtime that loads on every
# Windows it is for.
cmake_build i686 "$SKARDEL_BUILD/i686" -DSKARDEL_BUILD_TESTS=OFF
# The same sources with every test program for 32-bit x86, built on every
# machine: a callback or COM method without its calling convention fails
# here even where these programs cannot run. GoogleTest needs the POSIX
# thread model.
# The test command also shows that a 32-bit file built with the POSIX
# thread model (that build's own Skardel.scr) fails the import check.
shipped="-DSKARDEL_PRODUCT_SCR=$SKARDEL_BUILD/i686/Skardel.scr -DSKARDEL_POSIX_SCR=$(tests_build_dir i686)/Skardel.scr"
# Under emulation the 32-bit tests get three times their time limits.
scale=1
if i686_emulated; then scale=3; fi
# shellcheck disable=SC2086
cmake_build_tests i686 $shipped -DSKARDEL_TIMEOUT_SCALE=$scale
if [ "$arch" != i686 ]; then
    # shellcheck disable=SC2086
    cmake_build_tests "$arch" $shipped
fi
# The committed artwork is exactly what the generator draws.
mkdir -p "$SKARDEL_BUILD/artgen/res"
g++ -O2 -std=c++17 -o "$SKARDEL_BUILD/artgen/artgen" "$SKARDEL_ROOT/tools/artgen.cpp"
"$SKARDEL_BUILD/artgen/artgen" "$SKARDEL_BUILD/artgen/res"
for f in "$SKARDEL_BUILD"/artgen/res/*; do
    if ! cmp -s "$f" "$SKARDEL_ROOT/res/$(basename "$f")"; then
        echo "res/$(basename "$f") differs from what tools/artgen.cpp draws: regenerate it" >&2
        exit 1
    fi
done

# One pass of the suite: three virtual displays, each with its own Wine
# prefix: the usual 16-bit one, a 24-bit one (the saver switches it to 16
# bits) and a small 8-bit one (the palette path, and the scene's places on
# 640 x 480).
# (Called where a failure does not end the script: each step says so itself.)
run_pass() { # <arch> <what runs> [ctest arguments...]
    local target=$1 what=$2 testdir mode depth display prefix rc=0
    shift 2
    testdir=$(tests_build_dir "$target")
    # Under emulation the tests' own Wine commands find the host's server.
    if [ "$target" = i686 ] && ! runs_i386; then
        WINESERVER=$(wineserver_for i686) || return 1
        export WINESERVER
    fi
    for mode in 16:1024x768 24:1024x768 8:640x480; do
        depth=${mode%%:*}
        display=$(start_xvfb "$depth" "${mode#*:}") || return 1
        prefix=$testdir/wineprefix-$depth
        prepare_prefix "$target" "$prefix" "$display" || return 1
        unmanaged_windows "$target" "$prefix" "$display"
        export "SKARDEL_DISPLAY_$depth=$display" "SKARDEL_PREFIX_$depth=$prefix"
    done
    echo "running tests ($what) on display $SKARDEL_DISPLAY_16"
    (cd "$testdir" && ctest --output-on-failure "$@") || rc=$?
    # ctest shows the output of failed tests only: what a passing or skipped
    # test left out, and why, is said here.
    grep -hi '^skipped: ' "$testdir/Testing/Temporary/LastTest.log" 2>/dev/null | sort -u || true
    return $rc
}

# Every GoogleTest program runs its tests in a new order each time: no test
# may lean on what another left behind.
export GTEST_SHUFFLE=1
SKARDEL_I686_SKIPPED=$(why_not_i686)
export SKARDEL_I686_SKIPPED
rc=0
run_pass "$arch" "$arch programs" "$@" || rc=$?

# Where 32-bit code runs only under qemu, the 32-bit programs and the shipped
# file run too, after the native pass (whose timing checks then have the
# processor to themselves); the host's own checks ran once already.
if [ "$arch" = x86_64 ] && [ -z "${SKARDEL_ARCH:-}" ] && i686_emulated; then
    SKARDEL_I686_SKIPPED=
    run_pass i686 "i686 programs and the shipped Skardel.scr, emulated by qemu" -LE host "$@" || rc=$?
fi
exit $rc
