#!/bin/sh
# Starts and stops the built saver many times (/s ended by a key, /p ended by
# its host window going at a random moment of the start), then runs each mode
# for a while, and prints start and exit times, failures, leftover processes
# and memory at the start and end of the long runs. Not part of the tests.
#   scripts/soak.sh [cycles] [minutes]      default: 200 cycles, 5 minutes
set -eu
. "$(dirname "$0")/env.sh"
"$SKARDEL_ROOT/scripts/bootstrap.sh"
cycles=${1:-200}
minutes=${2:-5}
arch=$(runnable_arch)
build=$(tests_build_dir "$arch")
cmake_build_tests "$arch" >/dev/null
DISPLAY=$(start_xvfb 16)
export DISPLAY
export WINEPREFIX=$build/wineprefix-soak
prepare_prefix "$arch" "$WINEPREFIX" "$DISPLAY"
unmanaged_windows "$arch" "$WINEPREFIX" "$DISPLAY"
echo "soak: $cycles cycles of each mode, then $minutes minutes of each ($arch build, Wine $("$(wine_loader "$arch")" --version 2>/dev/null))"
rc=0
"$(wine_loader "$arch")" "$build/tests/SoakDriver.exe" \
    "Z:$(echo "$build/Skardel.scr" | tr / '\\')" "$cycles" $((minutes * 60)) </dev/null || rc=$?
exit $rc
