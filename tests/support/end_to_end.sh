# Shared by the end-to-end scripts, sourced once $loader (the Wine loader) is
# set: results, a millisecond clock, quiet Wine commands, another program's
# window, the end lines a run told the debugger, and (unless the script set own_display, having an X
# server of its own) the 16-bit display and prefix the test command prepared.
if [ -z "${own_display:-}" ]; then
    export DISPLAY="${SKARDEL_DISPLAY_16:?run by the test command}" WINEPREFIX="${SKARDEL_PREFIX_16:?}"
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
failures=0
settings='HKCU\Software\Tolmere\Skardel Screen Saver\Settings'

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Wine's helper processes must not hold the test runner's output open.
wine_quiet() { "$loader" "$@" >/dev/null 2>&1 </dev/null; }
# Wine's notepad, another program's window in front, until stop_notepad.
thief=
start_notepad() {
    "$loader" notepad >/dev/null 2>&1 </dev/null &
    thief=$!
    local i=0
    until xdotool search --onlyvisible --name Notepad >/dev/null 2>&1; do
        i=$((i + 1))
        [ $i -lt 300 ] || { fail "no notepad within 30 s"; return 1; }
        sleep 0.1
    done
}
stop_notepad() {
    [ -z "$thief" ] || { kill "$thief" 2>/dev/null; wait "$thief" 2>/dev/null; thief=; }
}
# The "Skardel ... ended: ..." lines in what a run wrote with
# WINEDEBUG=warn+debugstr.
told_ends() { # <file>
    sed -n 's/.*OutputDebugStringA "\(Skardel .* ended: .*\)\\r\\n"$/\1/p' "$1"
}
