#!/bin/sh
# The built saver and its configuration sheet under each Windows version that
# Wine can report and the saver is made for: the log's version and platform
# lines, then the saver running (and ending on a key) or refusing at once, as
# that system's DirectX allows; the sheet opening everywhere.
#   windows_versions.sh <wine loader> <Skardel.scr>
# SKARDEL_I686_SKIPPED, when set, says why the shipped 32-bit file itself
# cannot run here (this build then stands in for it).
set -u
loader=$1 scr=$2
. "$(dirname "$0")/../support/end_to_end.sh"
[ -z "${SKARDEL_I686_SKIPPED:-}" ] ||
    echo "skipped: the shipped 32-bit Skardel.scr under these versions ($SKARDEL_I686_SKIPPED); the same sources built for this machine run instead"
app='HKCU\Software\Wine\AppDefaults\Skardel.scr'
log="$(dirname "$scr")/skardel.log"
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    wine_quiet reg delete "$app" /v Version /f
    wine_quiet reg delete "$settings" /v "Always Log" /f
}
trap cleanup EXIT
wine_quiet reg add "$settings" /v "Always Log" /t REG_DWORD /d 1 /f

# Waits up to 30 s for a shown window of the saver (by class) or the sheet
# (by caption); true when one came while the program ran.
window_of() { # <xdotool search arguments...>
    local i=0
    while [ $i -lt 300 ] && kill -0 "$pid" 2>/dev/null; do
        [ -n "$(xdotool search --onlyvisible "$@" 2>/dev/null)" ] && return 0
        sleep 0.1
        i=$((i + 1))
    done
    return 1
}

# True when the program ended within 10 s with exit code 0; a key given is
# pressed again each second meanwhile (the first may come before the window
# has the keyboard).
ends_cleanly() { # [key]
    local i=0
    while kill -0 "$pid" 2>/dev/null; do
        [ $i -lt 100 ] || return 1
        [ $# -eq 0 ] || [ $((i % 10)) -ne 0 ] || xdotool key "$1"
        sleep 0.1
        i=$((i + 1))
    done
    wait "$pid"
    local rc=$?
    pid=
    [ $rc -eq 0 ]
}

# <Wine's name> <version line> <platform line> <runs|refuses>
while IFS='|' read -r name version platform outcome; do
    wine_quiet reg add "$app" /v Version /d "$name" /f
    rm -f "$log"
    "$loader" "$scr" /s >/dev/null 2>&1 </dev/null &
    pid=$!
    if [ "$outcome" = runs ]; then
        if window_of --class skardel.scr; then
            sleep 1
            ends_cleanly space && pass "$name: the saver ran and ended on a key" ||
                fail "$name: the saver did not end on a key"
        else
            fail "$name: no saver window"
        fi
    elif ends_cleanly; then
        grep -q '^DirectDraw Initialisation failed! Aborting application' "$log" &&
            pass "$name: the saver refused at once" || fail "$name: the saver ended without saying why"
    else
        fail "$name: the saver did not refuse at once"
    fi
    [ -z "$pid" ] || { kill "$pid"; pid=; }
    lines=$(tr -d '\r' <"$log" 2>/dev/null)
    echo "$lines" | grep -qx "Direct Draw version $version" && echo "$lines" | grep -qx "Platform: $platform" &&
        pass "$name: logged version $version on $platform" ||
        fail "$name: expected version $version on $platform; the log says: $(echo "$lines" | grep -E '^(Direct Draw version|Platform)' | tr '\n' ' ')"

    "$loader" "$scr" /c >/dev/null 2>&1 </dev/null &
    pid=$!
    if window_of --name '^Skardel Screen Saver$'; then
        ends_cleanly Escape && pass "$name: the sheet opened and closed" || fail "$name: the sheet did not close"
    else
        fail "$name: no sheet"
    fi
    [ -z "$pid" ] || { kill "$pid"; pid=; }
done <<'VERSIONS'
win95|0500|Windows 9x|runs
win98|0501|Windows 9x|runs
winme|0501|Windows 9x|runs
nt351|0000|Unknown|refuses
nt40|0300|Windows NT|refuses
win2k|0501|Windows NT|runs
winxp|0501|Windows NT|runs
win10|0501|Windows NT|runs
VERSIONS
echo "$failures failed"
[ "$failures" -eq 0 ]
