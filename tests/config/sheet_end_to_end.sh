#!/bin/sh
# The built Skardel.scr /c on the 16-bit virtual display, driven only by real
# keyboard and mouse input from xdotool: OK stores what was chosen, Cancel
# stores nothing, and the process ends within a second of its sheet closing.
# The pages' pictures are kept in the work folder.
#   sheet_end_to_end.sh <wine loader> <Skardel.scr> <ControlCentre.exe> <work dir>
set -u
loader=$1 scr=$2 centre=$3 work=$4
. "$(dirname "$0")/../support/end_to_end.sh"
mkdir -p "$work"
sheet_pid=
cleanup() {
    [ -n "$sheet_pid" ] && kill "$sheet_pid" 2>/dev/null
    wine_quiet reg delete "$settings" /f
}
trap cleanup EXIT

# The stored settings as "Name=value" lines, sorted.
stored() {
    "$loader" reg query "$settings" 2>/dev/null </dev/null | tr -d '\r' |
        sed -n 's/^ *\(.*[^ ]\) *REG_DWORD *0x\([0-9a-fA-F]*\)$/\1=\2/p' |
        while IFS== read -r name hex; do echo "$name=$((0x$hex))"; done | sort
}

sheet_window() { xdotool search --onlyvisible --name '^Skardel Screen Saver$' 2>/dev/null | head -1; }

open_sheet() {
    "$loader" "$scr" /c >/dev/null 2>&1 </dev/null &
    sheet_pid=$!
    local i=0
    while [ -z "$(sheet_window)" ]; do
        i=$((i + 1))
        if [ $i -gt 300 ] || ! kill -0 "$sheet_pid" 2>/dev/null; then
            fail "no sheet within 30 s"
            return 1
        fi
        sleep 0.1
    done
    sleep 1
}

click_control() { # <id>
    local xy
    xy=$("$loader" "$centre" "Skardel Screen Saver" "$1" 2>/dev/null </dev/null | tr -d '\r')
    if [ -z "$xy" ]; then
        fail "control $1 not found"
        return 1
    fi
    # shellcheck disable=SC2086
    xdotool mousemove $xy click 1
}

shot() { # <name>
    import -window "$(sheet_window)" "$work/$1.png" 2>/dev/null || fail "no picture of $1"
}

# Waits for the sheet to go and the process to end, within a second of each other.
ends_with_its_sheet() { # <what>
    local start=$(now_ms) closed=
    while kill -0 "$sheet_pid" 2>/dev/null; do
        [ -z "$closed" ] && [ -z "$(sheet_window)" ] && closed=$(now_ms)
        if [ $(($(now_ms) - start)) -gt 10000 ]; then
            fail "$1: still running 10 s later"
            return 1
        fi
        sleep 0.02
    done
    wait "$sheet_pid"
    local rc=$? ended=$(now_ms)
    sheet_pid=
    [ -n "$closed" ] || closed=$ended
    if [ $((ended - closed)) -le 1000 ] && [ $rc -eq 0 ]; then
        pass "$1: the process ended $((ended - closed)) ms after its sheet closed"
    else
        fail "$1: ended $((ended - closed)) ms after its sheet, exit code $rc"
    fi
}

wine_quiet reg delete "$settings" /f

# OK: the speed slider (which has the focus) to its slow end, two steps up
# for the count, Append chosen with the mouse on the Debug page, OK clicked.
if open_sheet; then
    shot sheet-configuration
    xdotool key End
    xdotool key Tab Tab Up Up
    xdotool key ctrl+Tab
    sleep 0.5
    shot sheet-debug
    click_control 1035
    sleep 0.3
    click_control 1
    ends_with_its_sheet "OK"
    expected="Always Log=0
Append Log=1
Count=7
Fps=0
Speed=100
Stars=100"
    got=$(stored)
    if [ "$got" = "$expected" ]; then
        pass "OK stored what was chosen"
    else
        fail "OK stored: $(echo "$got" | tr '\n' ' ')"
    fi
fi

# Cancel after changes on both pages stores nothing.
if open_sheet; then
    xdotool key Home Tab Tab Down
    xdotool key ctrl+Tab
    sleep 0.5
    xdotool key alt+a
    sleep 0.3
    xdotool key Escape
    ends_with_its_sheet "Escape"
    got=$(stored)
    if [ "$got" = "$expected" ]; then
        pass "Cancel stored nothing"
    else
        fail "after Cancel: $(echo "$got" | tr '\n' ' ')"
    fi
fi

echo "$failures failed"
[ $failures -eq 0 ]
