#!/bin/sh
# Runs a Windows program under Wine on the virtual display and private prefix
# the test command prepared for the display depth the test asks for
# (SKARDEL_DEPTH, 16 unless a test says otherwise).
#   wine-run.sh <wine loader> <program> [arguments...]
loader=$1
shift
depth=${SKARDEL_DEPTH:-16}
eval "display=\${SKARDEL_DISPLAY_$depth:-}"
eval "prefix=\${SKARDEL_PREFIX_$depth:-}"
[ -n "$display" ] && export DISPLAY="$display"
[ -n "$prefix" ] && export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Wine starts helper processes (services, the desktop) that may outlive the
# program; they must not hold the test runner's output pipe open, so the
# program writes to a file that is shown when it ends.
out=$(mktemp /tmp/skardel-run.XXXXXX)
"$loader" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
