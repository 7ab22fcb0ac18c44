# Shared by the end-to-end scripts, sourced once $loader (the Wine loader) is
# set: the 16-bit display and prefix the test command prepared, results, a
# millisecond clock and quiet Wine commands.
export DISPLAY="${SKARDEL_DISPLAY_16:?run by the test command}" WINEPREFIX="${SKARDEL_PREFIX_16:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
failures=0
settings='HKCU\Software\Tolmere\Skardel Screen Saver\Settings'

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Wine's helper processes must not hold the test runner's output open.
wine_quiet() { "$loader" "$@" >/dev/null 2>&1 </dev/null; }
