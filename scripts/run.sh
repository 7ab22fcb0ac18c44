#!/bin/sh
# Builds Skardel.scr and starts it. On the user's display ($DISPLAY) it runs
# until it ends itself (a key, a click, moving the mouse). Without a display
# it runs on a virtual 16-bit display, saves screenshots to screenshots/ and
# ends after a few seconds.
#   scripts/run.sh [switch...]      default: /s (the full-screen saver)
#   scripts/run.sh /p               the preview, in a window of the size of
#                                   the settings dialog's monitor
#   scripts/run.sh /c               the configuration sheet; on the virtual
#                                   display a picture of each page is saved
#                                   and the sheet is closed with Cancel
# SKARDEL_ARCH=i686 shows the shipped 32-bit file, under qemu's emulation
# where the machine cannot run 32-bit code (x86-64 is then the default).
set -eu
. "$(dirname "$0")/env.sh"
"$SKARDEL_ROOT/scripts/bootstrap.sh"

arch=$(runnable_arch)
cmake_build i686 "$SKARDEL_BUILD/i686" -DSKARDEL_BUILD_TESTS=OFF
if [ "$arch" != i686 ]; then
    # This machine cannot run 32-bit code: show the same program built for x86-64.
    cmake_build "$arch" "$SKARDEL_BUILD/$arch" -DSKARDEL_BUILD_TESTS=OFF
fi
scr=$SKARDEL_BUILD/$arch/Skardel.scr
if [ "$arch" = i686 ] && ! runs_i386; then
    echo "the shipped 32-bit Skardel.scr runs emulated (qemu): this machine cannot run 32-bit code itself"
fi
[ $# -gt 0 ] || set -- /s
# /p alone: our stand-in for the settings dialog hosts the preview.
host=
if [ "$*" = /p ]; then
    host=$SKARDEL_BUILD/$arch/PreviewHost.exe
fi

if [ -n "${DISPLAY:-}" ]; then
    export WINEPREFIX=${WINEPREFIX:-$SKARDEL_BUILD/$arch/wineprefix-run}
    prepare_prefix "$arch" "$WINEPREFIX" "$DISPLAY"
    if [ -n "$host" ]; then
        "$(wine_loader "$arch")" "$host"
    else
        "$(wine_loader "$arch")" "$scr" "$@"
    fi
    exit 0
fi

shots=$SKARDEL_ROOT/screenshots
mkdir -p "$shots"
DISPLAY=$(start_xvfb 16)
export DISPLAY
export WINEPREFIX=$SKARDEL_BUILD/$arch/wineprefix-run-virtual
prepare_prefix "$arch" "$WINEPREFIX" "$DISPLAY"
# No window manager here: Wine places its windows itself, and gives them the
# keyboard as a window manager would.
unmanaged_windows "$arch" "$WINEPREFIX" "$DISPLAY"
case "$1" in
[/-][cC]* | [cC]*)
    "$(wine_loader "$arch")" "$scr" "$@" >/dev/null 2>&1 &
    saver=$!
    i=0
    while [ -z "$(xdotool search --onlyvisible --name '^Skardel Screen Saver$' 2>/dev/null)" ] && [ $i -lt 300 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    sleep 1
    sheet=$(xdotool search --onlyvisible --name '^Skardel Screen Saver$' 2>/dev/null | head -1)
    for page in configuration debug about; do
        import -window "$sheet" "$shots/sheet-$page.png" 2>/dev/null || true
        xdotool key ctrl+Tab 2>/dev/null || true
        sleep 0.5
    done
    xdotool key Escape 2>/dev/null || true
    sleep 1
    kill "$saver" 2>/dev/null || true
    echo "screenshots saved in $shots"
    exit 0
    ;;
esac
if [ -n "$host" ]; then
    "$(wine_loader "$arch")" "$host" 9 >/dev/null 2>&1 &
else
    "$(wine_loader "$arch")" "$scr" "$@" >/dev/null 2>&1 &
fi
saver=$!
for i in 1 2 3 4; do
    sleep 2
    import -window root "$shots/shot-$i.png" 2>/dev/null || true
done
xdotool key Escape 2>/dev/null || true
sleep 2
kill "$saver" 2>/dev/null || true
echo "screenshots saved in $shots"
