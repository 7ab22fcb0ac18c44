#!/bin/sh
# Builds Skardel.scr and every test program, then runs the whole suite under
# Wine on virtual displays with private Wine prefixes inside the build tree.
# Installs what it needs first. Extra arguments go to ctest.
set -eu
. "$(dirname "$0")/env.sh"
"$SKARDEL_ROOT/scripts/bootstrap.sh"

arch=$(runnable_arch)
# The shipped 32-bit executable.
if [ "$arch" = i686 ]; then
    cmake_build i686 "$SKARDEL_BUILD/i686" -DSKARDEL_BUILD_TESTS=ON
    testdir=$SKARDEL_BUILD/i686
else
    cmake_build i686 "$SKARDEL_BUILD/i686" -DSKARDEL_BUILD_TESTS=OFF
    cmake_build x86_64 "$SKARDEL_BUILD/x86_64" -DSKARDEL_BUILD_TESTS=ON \
        -DSKARDEL_PRODUCT_SCR="$SKARDEL_BUILD/i686/Skardel.scr"
    testdir=$SKARDEL_BUILD/x86_64
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

# Three virtual displays, each with its own Wine prefix: the usual 16-bit
# one, a 24-bit one (the saver switches it to 16 bits) and a small 8-bit one
# (the palette path, and the scene's places on 640 x 480).
for mode in 16:1024x768 24:1024x768 8:640x480; do
    depth=${mode%%:*}
    display=$(start_xvfb "$depth" "${mode#*:}")
    prefix=$testdir/wineprefix-$depth
    prepare_prefix "$arch" "$prefix" "$display"
    unmanaged_windows "$arch" "$prefix" "$display"
    export "SKARDEL_DISPLAY_$depth=$display" "SKARDEL_PREFIX_$depth=$prefix"
done

# Every GoogleTest program runs its tests in a new order each time: no test
# may lean on what another left behind.
export GTEST_SHUFFLE=1
echo "running tests ($arch programs) on display $SKARDEL_DISPLAY_16"
cd "$testdir"
ctest --output-on-failure "$@"
