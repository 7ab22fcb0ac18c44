#!/bin/sh
# Builds and runs the composition benchmark on a full-screen 16-bit virtual
# display and prints its figures.
set -eu
. "$(dirname "$0")/env.sh"
"$SKARDEL_ROOT/scripts/bootstrap.sh"
arch=$(runnable_arch)
cmake_build "$arch" "$SKARDEL_BUILD/$arch" -DSKARDEL_BUILD_TESTS=ON >/dev/null
DISPLAY=$(start_xvfb 16)
export DISPLAY
export WINEPREFIX=$SKARDEL_BUILD/$arch/wineprefix-bench
prepare_prefix "$arch" "$WINEPREFIX" "$DISPLAY"
out=$(mktemp)
rc=0
"$(wine_loader "$arch")" "$SKARDEL_BUILD/$arch/tests/compose_bench.exe" >"$out" 2>&1 </dev/null || rc=$?
cat "$out"
rm -f "$out"
if [ $rc -ne 0 ]; then
    echo "the benchmark failed (exit code $rc)" >&2
    exit $rc
fi
