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

trap stop_all EXIT INT TERM
SKARDEL_DISPLAY_16=$(start_xvfb 16)
export SKARDEL_DISPLAY_16
export SKARDEL_PREFIX_16="$testdir/wineprefix-16"
prepare_prefix "$arch" "$SKARDEL_PREFIX_16" "$SKARDEL_DISPLAY_16"
# Wine cannot change an X display's depth: the saver's switch to 16 bits is
# refused on a 24-bit display, for real.
SKARDEL_DISPLAY_24=$(start_xvfb 24)
export SKARDEL_DISPLAY_24
export SKARDEL_PREFIX_24="$testdir/wineprefix-24"
prepare_prefix "$arch" "$SKARDEL_PREFIX_24" "$SKARDEL_DISPLAY_24"

echo "running tests ($arch programs) on display $SKARDEL_DISPLAY_16"
cd "$testdir"
ctest --output-on-failure "$@"
