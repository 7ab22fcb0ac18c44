#!/bin/sh
# The built saver on two monitors side by side (Xorg's dummy driver, 800x600
# each, depth 16), once with the primary on the left and once on the right.
# While it runs the other monitor is black and the primary shows the scene;
# pointer travel towards the other monitor ends it (and the line it tells
# the debugger says how far); then the desktop shows again on both. Xorg
# needs root: where it cannot start, one line says the check was skipped
# and why (exit 77, a skip for ctest).
#   two_monitors.sh <wine loader> <Skardel.scr> <shotcheck> <work dir>
set -u
loader=$1 scr=$2 shotcheck=$3 work=$4
own_display=1
. "$(dirname "$0")/../support/end_to_end.sh"
skip() { echo "skipped: the two-monitor check: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "Xorg's dummy driver needs root"
command -v Xorg >/dev/null || skip "no Xorg (xserver-xorg-core)"
[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || skip "no dummy driver (xserver-xorg-video-dummy)"
command -v xrandr >/dev/null && command -v xsetroot >/dev/null || skip "no xrandr (x11-xserver-utils)"

mkdir -p "$work"
cat >"$work/xorg.conf" <<'EOF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
EndSection
Section "Device"
    Identifier "card"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "800x600" 40.00 800 840 968 1056 600 601 605 628 +hsync +vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "card"
    Monitor "monitor"
    DefaultDepth 16
    SubSection "Display"
        Depth 16
        Modes "800x600"
        Virtual 1600 600
    EndSubSection
EndSection
EOF

n=40
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xorg ":$n" -config "$work/xorg.conf" -noreset -nolisten tcp -logfile "$work/xorg.log" >/dev/null 2>&1 </dev/null &
xorg=$!
export DISPLAY=":$n" WINEPREFIX="$work/wineprefix"
server=${WINESERVER:-$(dirname "$loader")/wineserver64}
[ -x "$server" ] || server=$(dirname "$loader")/wineserver
saver=
cleanup() {
    [ -n "$saver" ] && kill "$saver" 2>/dev/null
    stop_notepad
    "$server" -k >/dev/null 2>&1
    kill "$xorg" 2>/dev/null
    wait "$xorg" 2>/dev/null
}
trap cleanup EXIT
# A signal ends the script through its exit, so that Xorg goes too.
trap 'exit 130' INT TERM HUP PIPE
i=0
until xrandr >/dev/null 2>&1; do
    i=$((i + 1))
    kill -0 "$xorg" 2>/dev/null && [ $i -lt 100 ] || skip "Xorg did not start (its log: $work/xorg.log)"
    sleep 0.1
done
xrandr --addmode DUMMY1 800x600 && xrandr --output DUMMY1 --mode 800x600 --pos 800x0 ||
    skip "the dummy driver offers no second output"
# A full query has the driver probe its outputs again; until then Wine's
# lighter one still finds the first monitor alone.
xrandr >/dev/null

# Made anew by another loader (a 32-bit one under emulation makes 32-bit
# prefixes).
if [ "$(cat "$WINEPREFIX/.skardel-ready" 2>/dev/null)" != "$loader" ]; then
    "$server" -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
    wine_quiet wineboot -i && "$server" -w && echo "$loader" >"$WINEPREFIX/.skardel-ready" ||
        { fail "no Wine prefix could be made"; exit 1; }
    # As the test command's prefixes: no command stream, no wait for a
    # window manager.
    wine_quiet reg add 'HKCU\Software\Wine\AppDefaults\Skardel.scr\Direct3D' /v csmt /t REG_DWORD /d 0 /f
    wine_quiet reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
fi
wine_quiet reg add "$settings" /v Count /t REG_DWORD /d 30 /f

# "<colours> <first colour>" of a part of a capture: WIDTHxHEIGHT+X+Y.
colours() { convert "$1" -crop "$2" +repage -format '%k %[pixel:p{0,0}]' info:; }
capture() { import -window root -depth 8 "ppm:$1"; }
# Captures into <file> until <test> holds, at most <tries> times.
capture_until() { # <file> <tries> <test...>
    local file=$1 tries=$2 i=0
    shift 2
    until capture "$file" && "$@"; do
        i=$((i + 1))
        [ $i -lt "$tries" ] || return 1
        sleep 0.1
    done
}
is_black() { case "$(colours "$1" "$2")" in "1 black" | "1 srgb(0,0,0)") ;; *) return 1 ;; esac; }
# Saucers drawn: far more colours than the stars and the waiting line.
many_colours() { set -- $(colours "$1" "$2"); [ "$1" -gt 16 ]; }
shows_desk() { [ "$(colours "$1" "$primary")" = "$desk" ] && [ "$(colours "$1" "$other")" = "$desk" ]; }


# <name> <primary output> <the primary's X> <the other's X>
arrangement() {
    local name=$1 shot=$work/$1 told
    primary="800x600+$3+0" other="800x600+$4+0"
    xrandr --output "$2" --primary
    # A new Wine session reads the monitors anew.
    "$server" -k >/dev/null 2>&1
    "$server" -w >/dev/null 2>&1
    xsetroot -solid '#3060a0'
    capture "$shot-before.ppm"
    desk=$(colours "$shot-before.ppm" "$primary")

    xdotool mousemove $(($3 + 400)) 300
    WINEDEBUG=-all,warn+debugstr "$loader" "$scr" /s >/dev/null 2>"$shot-debugstr.txt" </dev/null &
    saver=$!
    if capture_until "$shot-1.ppm" 300 is_black "$shot-1.ppm" "$other"; then
        pass "$name: the other monitor is black"
    else
        fail "$name: the other monitor shows $(colours "$shot-1.ppm" "$other") (captures kept in $work)"
    fi
    # The start takes its time where the program runs emulated.
    capture_until "$shot-1.ppm" 300 many_colours "$shot-1.ppm" "$primary"
    sleep 1
    capture "$shot-2.ppm"
    convert "$shot-2.ppm" "$shot.png"
    convert "$shot-1.ppm" -crop "$primary" +repage "ppm:$shot-primary-1.ppm"
    convert "$shot-2.ppm" -crop "$primary" +repage "ppm:$shot-primary-2.ppm"
    "$shotcheck" "$shot-primary-1.ppm" "$shot-primary-2.ppm" && pass "$name: the primary shows the scene" ||
        fail "$name: the primary's captures (kept in $work)"

    # Wine's DirectDraw clips the pointer to the display mode it holds (the
    # primary), so the pointer stops at the primary's edge; input that does
    # reach a cover is checked in-process. Wine does not always send the
    # saver a first mouse move when it shows: a pixel of travel first
    # records the start (or stays within the allowance).
    eval "$(xdotool getmouselocation --shell)"
    xdotool mousemove $((X + 1)) "$Y"
    sleep 0.5
    xdotool mousemove $(($4 + 400)) 300
    i=0
    while kill -0 "$saver" 2>/dev/null && [ $i -lt 200 ]; do
        i=$((i + 1))
        sleep 0.1
    done
    kill "$saver" 2>/dev/null && fail "$name: still running 20 s after pointer travel towards the other monitor"
    saver=
    told=$(told_ends "$shot-debugstr.txt")
    case "$told" in
    "Skardel saver ended: mouse travel of "*" pixels") pass "$name: pointer travel ended the saver ($told)" ;;
    *) fail "$name: told the debugger \"$told\"" ;;
    esac

    capture_until "$shot-after.ppm" 200 shows_desk "$shot-after.ppm" &&
        pass "$name: the desktop shows again on both monitors" ||
        fail "$name: the desktop did not come back on both monitors"
}

# Another program's window taking the activation from the running saver, or
# holding the keyboard when it starts (then a key): the saver ends with the
# line it tells, and no cover stays black.
other_program() { # <before|during> <the end it tells>
    local shot=$work/other-$1
    [ "$1" = during ] || start_notepad || return
    WINEDEBUG=-all,warn+debugstr "$loader" "$scr" /s >/dev/null 2>"$shot-debugstr.txt" </dev/null &
    saver=$!
    capture_until "$shot.ppm" 300 is_black "$shot.ppm" "$other" || fail "$1: no cover"
    sleep 1
    if [ "$1" = during ]; then start_notepad; else xdotool key a; fi
    i=0
    while kill -0 "$saver" 2>/dev/null && [ $i -lt 100 ]; do
        i=$((i + 1))
        sleep 0.1
    done
    kill "$saver" 2>/dev/null && fail "$1: still running 10 s later"
    saver=
    stop_notepad
    [ "$(told_ends "$shot-debugstr.txt")" = "Skardel saver ended: $2" ] && pass "$1: ended with \"$2\"" ||
        fail "$1: told \"$(told_ends "$shot-debugstr.txt")\""
    capture_until "$shot-after.ppm" 200 shows_desk "$shot-after.ppm" &&
        pass "$1: the desktop shows again on both monitors" || fail "$1: a monitor stayed black"
}

arrangement primary-left DUMMY0 0 800
other_program during deactivation
other_program before key
arrangement primary-right DUMMY1 800 0
echo "$failures failed"
[ $failures -eq 0 ]
