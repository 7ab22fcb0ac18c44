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

trap stop_all EXIT INT TERM
SKARDEL_DISPLAY_16=$(start_xvfb 16)
export SKARDEL_DISPLAY_16
export SKARDEL_PREFIX_16="$testdir/wineprefix-16"
prepare_prefix "$arch" "$SKARDEL_PREFIX_16" "$SKARDEL_DISPLAY_16"

echo "running tests ($arch programs) on display $SKARDEL_DISPLAY_16"
cd "$testdir"
ctest --output-on-failure "$@"
