#!/bin/sh
# The built Skardel.scr /c on the 16-bit virtual display, driven only by real
# keyboard and mouse input from xdotool: OK stores what was chosen, Cancel
# stores nothing, and the process ends within a second of its sheet closing.
# After a page change the keys act on the page shown, not on the one left.
# The pages' pictures are kept in the work folder.
# On the About page Shift+F10 on the e-mail link copies its address, Return on
# the web link or a click starts the handler registered for "http" (the tests'
# recorder, for the time of the test); Return after a change to About is OK.
#   sheet_end_to_end.sh <wine loader> <Skardel.scr> <ControlCentre.exe> <work dir> <LinkRecorder.exe>
set -u
loader=$1 scr=$2 centre=$3 work=$4 recorder=$5
. "$(dirname "$0")/../support/end_to_end.sh"
mkdir -p "$work"
sheet_pid=
handler='HKCR\http\shell\open\command'
cleanup() {
    [ -n "$sheet_pid" ] && kill "$sheet_pid" 2>/dev/null
    wine_quiet reg delete "$settings" /f
    # The prefix's own web handler comes back.
    [ -f "$work/http-handler.reg" ] && wine_quiet reg import "$work/http-handler.reg"
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
    # A person's hand rests a moment before it clicks.
    # shellcheck disable=SC2086
    xdotool mousemove $xy sleep 0.2 click 1
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
# The recorder stands in for the web browser while the test runs.
recorder_win="Z:$(echo "$recorder" | tr / '\\')"
record="$(dirname "$recorder")/skardel-link.txt"
wine_quiet reg export "$handler" "$work/http-handler.reg" /y
wine_quiet reg add "$handler" /ve /d "\"$recorder_win\" \"%1\"" /f

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
    xdotool key ctrl+Tab
    sleep 0.5
    shot sheet-about
    # "Copy URL" from the e-mail link's menu by the keys, onto an empty clipboard.
    wine_quiet "$centre" --clipboard
    xdotool key Tab shift+F10
    sleep 0.5
    xdotool key Down Return
    sleep 0.5
    copied=$("$loader" "$centre" --clipboard 2>/dev/null </dev/null | tr -d '\r')
    if [ "$copied" = "mailto:skardel@tolmere.example" ]; then
        pass "Copy URL put the e-mail link on the clipboard"
    else
        fail "the clipboard holds \"$copied\""
    fi
    # Return on the next link, the web link, starts the registered handler,
    # and so does a click.
    started=
    for open in "xdotool key Tab Return" "click_control 4096"; do
        rm -f "$record"
        $open
        i=0
        while [ ! -s "$record" ] && [ $i -lt 100 ]; do
            sleep 0.1
            i=$((i + 1))
        done
        started="$started|$(cat "$record" 2>/dev/null && rm "$record")"
    done
    web="\"$recorder_win\" \"http://www.tolmere.example/"
    if [ "$started" = "|$web|$web" ]; then
        pass "Return and a click on the web link started the http handler"
    else
        fail "the handler was started as: $started"
    fi
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

# Keys after a page change reach the page shown. From the count's edit
# Ctrl+Tab brings the Debug page, whose first radio group the arrows move
# along; Ctrl+Page Down and Up lead back to the speed slider, which End moves.
wine_quiet reg delete "$settings" /f
if open_sheet; then
    xdotool key Tab Tab ctrl+Tab Up Up Up ctrl+Page_Down ctrl+Page_Up ctrl+Page_Up End ctrl+Tab ctrl+Tab Return
    ends_with_its_sheet "Return"
    [ -e "$record" ] && fail "Return on the About page started: $(cat "$record")"
    got=$(stored)
    if [ "$(echo "$got" | tr '\n' ' ')" = "Always Log=1 Append Log=0 Count=5 Fps=0 Speed=100 Stars=100 " ]; then
        pass "after each page change the keys acted on the page shown"
    else
        fail "after the page changes and the keys: $(echo "$got" | tr '\n' ' ')"
    fi
fi

echo "$failures failed"
[ $failures -eq 0 ]
