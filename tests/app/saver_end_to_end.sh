#!/bin/sh
# The built saver on the 16-bit virtual display, as a person meets it: real
# X input from xdotool, the screen captured with import. Each ending input
# must end the program within a second, and the program must tell the
# debugger why it ended (read from Wine's debugstr channel).
#   saver_end_to_end.sh <wine loader> <Skardel.scr> <shotcheck> <work dir> <PreviewHost.exe>
set -u
loader=$1 scr=$2 shotcheck=$3 work=$4 host=$5
. "$(dirname "$0")/../support/end_to_end.sh"
mkdir -p "$work"
saver=
cleanup() {
    [ -n "$saver" ] && kill "$saver" 2>/dev/null
    stop_notepad
    wine_quiet reg delete "$settings" /v Count /f
}
trap cleanup EXIT

# What the program told the debugger, for the run that writes it.
told=$work/debugstr.txt
debugstr() { WINEDEBUG=-all,warn+debugstr "$@" >/dev/null 2>"$told" </dev/null; }

# Passes when the last run told the debugger exactly one end, this one.
told_end() { # <what> <line>
    local lines
    lines=$(told_ends "$told")
    if [ "$lines" = "$2" ]; then
        pass "$1: told the debugger \"$2\""
    else
        fail "$1: told the debugger \"$lines\", not \"$2\""
    fi
}

# Starts the saver and waits until its window is up and drawing.
start_saver() {
    WINEDEBUG=-all,warn+debugstr "$loader" "$scr" /s >/dev/null 2>"$told" </dev/null &
    saver=$!
    local i=0
    while [ -z "$(xdotool search --onlyvisible --class skardel.scr 2>/dev/null)" ]; do
        i=$((i + 1))
        if [ $i -gt 300 ] || ! kill -0 "$saver" 2>/dev/null; then
            fail "no saver window within 30 s"
            return 1
        fi
        sleep 0.1
    done
    sleep 1
}

# Waits for the saver to end after an input made at <start ms>, and for the
# cause it tells.
ends_within_a_second() { # <what> <start ms> <the cause it tells>
    while kill -0 "$saver" 2>/dev/null; do
        if [ $(($(now_ms) - $2)) -gt 5000 ]; then
            fail "$1: still running 5 s later"
            kill "$saver"
            saver=
            return 1
        fi
        sleep 0.02
    done
    local took=$(($(now_ms) - $2))
    wait "$saver"
    local rc=$?
    saver=
    if [ $took -le 1000 ] && [ $rc -eq 0 ]; then
        pass "$1: ended after $took ms"
    else
        fail "$1: ended after $took ms with exit code $rc"
    fi
    told_end "$1" "Skardel saver ended: $3"
}

pointer() { xdotool getmouselocation --shell | sed -n 's/^\([XY]\)=/\1=/p'; }

# Many groups, so that some are on the screen whatever the draw.
wine_quiet reg add "$settings" /v Count /t REG_DWORD /d 30 /f

# The picture, then pointer travel from where the saver first saw it: away
# from the edges, which would stop it (Wine moves the pointer to the middle
# of the screen for the exclusive mode, but not always).
xdotool mousemove 300 300
if start_saver; then
    import -window root -depth 8 "ppm:$work/first.ppm"
    sleep 1
    import -window root -depth 8 "ppm:$work/second.ppm"
    if "$shotcheck" "$work/first.ppm" "$work/second.ppm"; then
        pass "the screen shows stars and moving saucers"
    else
        fail "screen captures (kept in $work)"
    fi
    eval "$(pointer)"
    xdotool mousemove $((X + 2)) $((Y + 1))
    sleep 1
    if kill -0 "$saver" 2>/dev/null; then
        pass "still running after 3 pixels of pointer travel"
        start=$(now_ms)
        xdotool mousemove $((X + 3)) $((Y + 1))
        ends_within_a_second "4 pixels of pointer travel" "$start" "mouse travel of 4 pixels"
    else
        fail "ended after only 3 pixels of pointer travel"
    fi
fi

if start_saver; then
    start=$(now_ms)
    xdotool key a
    ends_within_a_second "a key" "$start" key
fi

if start_saver; then
    start=$(now_ms)
    xdotool key alt+x
    ends_within_a_second "an Alt combination" "$start" key
fi

if start_saver; then
    eval "$(pointer)"
    start=$(now_ms)
    xdotool click 1
    ends_within_a_second "a click" "$start" button
    before="$X,$Y"
    eval "$(pointer)"
    if [ "$X,$Y" = "$((${before%,*} + 1)),$((${before#*,} - 1))" ]; then
        pass "the click left the pointer one up and one right ($before to $X,$Y)"
    else
        fail "the click left the pointer at $X,$Y (it was at $before)"
    fi
fi

# Another program's window (Wine's notepad) in front: taking the activation
# before the pointer moved, or holding the keyboard when the saver starts.
if start_saver && start_notepad; then
    ends_within_a_second "another window taking the activation" "$(now_ms)" deactivation
fi
stop_notepad
if start_notepad && start_saver; then
    start=$(now_ms)
    xdotool key a
    ends_within_a_second "a key, started while another window had it" "$start" key
fi
stop_notepad

# Closed the way a program closes another's windows (WM_CLOSE).
if start_saver; then
    # Starting Wine's taskkill takes a while: timed from its return.
    wine_quiet taskkill /im "$(basename "$scr")"
    start=$(now_ms)
    ends_within_a_second "a close request" "$start" close
fi

# The preview in our stand-in for the settings dialog: the host closes its
# window after two seconds and reports 0 only when the preview ended with it.
start=$(now_ms)
debugstr "$loader" "$host" 2
rc=$?
if [ $rc -eq 0 ]; then
    pass "the preview ended with its host window ($(($(now_ms) - start)) ms in all)"
else
    fail "preview host ended with code $rc"
fi
told_end "the preview's host window gone" "Skardel preview ended: host window gone"
debugstr "$loader" "$scr" /p 0
told_end "a preview without a window" "Skardel preview ended: failed start"

echo "$failures failed"
[ $failures -eq 0 ]
