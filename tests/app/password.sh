#!/bin/sh
# The password that Windows 95, 98 and Me leave to the saver, as Wine plays
# those versions, with the tests' stand-in for PASSWORD.CPL in the system
# folder or only beside the saver. A protected saver on 98 asks once per
# input, runs on after a wrong password, ends after the right one, and tells
# the system a saver runs (read by a fresh process each time: Wine keeps the
# value in each process); elsewhere the first key ends it, asking nothing.
#   password.sh <wine loader> <Skardel.scr> <PASSWORD.CPL stand-in> <ControlCentre.exe> <pointer size: 4|8>
set -u
loader=$1 scr=$2 standin=$3 centre=$4 pointer=$5
. "$(dirname "$0")/../support/end_to_end.sh"
app='HKCU\Software\Wine\AppDefaults\Skardel.scr'
desktop='HKCU\Control Panel\Desktop'
# A 32-bit program's system folder in a 64-bit prefix is syswow64.
system=$WINEPREFIX/drive_c/windows/system32
[ "$pointer" = 4 ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] && system=$WINEPREFIX/drive_c/windows/syswow64
beside=$(dirname "$scr")
told=$(mktemp "${TMPDIR:-/tmp}/skardel-password.XXXXXX")
pid=
clean() { rm -f "$system/PASSWORD.CPL" "$beside/PASSWORD.CPL" "$system"/skardel-password* "$beside"/skardel-password*; }
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    clean
    rm -f "$told"
    wine_quiet reg delete "$app" /v Version /f
    wine_quiet reg delete "$desktop" /v ScreenSaveUsePassword /f
}
trap cleanup EXIT

running() { "$loader" "$centre" --saver-running 2>/dev/null </dev/null | tr -d '\r'; }
asks() { cat "$1/skardel-password.log" 2>/dev/null | grep -c '^asked'; }
# A key, then true when the saver still runs 3 s later (the stand-in's
# dialog lasts 0.6 s); a second key while that dialog is up asks nothing.
key_leaves_it_running() {
    xdotool key a sleep 0.2 key b
    sleep 3
    kill -0 "$pid" 2>/dev/null
}

# <Wine's version> <ScreenSaveUsePassword: dword 1, text 1 or none> <stand-in: system, beside> <ends: asking or at once> <the end it tells>
while read -r version value where ends told_end; do
    case=$version/$value/$where
    wine_quiet reg add "$app" /v Version /d "$version" /f
    wine_quiet reg delete "$desktop" /v ScreenSaveUsePassword /f
    [ "$value" = dword ] && wine_quiet reg add "$desktop" /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f
    [ "$value" = text ] && wine_quiet reg add "$desktop" /v ScreenSaveUsePassword /d 1 /f
    clean
    folder=$system
    [ "$where" = beside ] && folder=$beside
    cp "$standin" "$folder/PASSWORD.CPL"
    printf 'no\nyes\n' >"$folder/skardel-password-answers.txt"
    WINEDEBUG=-all,warn+debugstr "$loader" "$scr" /s >/dev/null 2>"$told" </dev/null &
    pid=$!
    i=0
    until xdotool search --onlyvisible --class skardel.scr >/dev/null 2>&1; do
        i=$((i + 1))
        [ $i -lt 300 ] && kill -0 "$pid" 2>/dev/null ||
            { fail "$case: no saver window"; kill "$pid" 2>/dev/null; pid=; continue 2; }
        sleep 0.1
    done
    sleep 1
    if [ "$ends" = asking ]; then
        [ "$(running)" = 1 ] && pass "$case: the system is told a saver runs" || fail "$case: the system is not told"
        key_leaves_it_running && [ "$(asks "$folder")" = 1 ] && pass "$case: a wrong password, asked once: runs on" ||
            fail "$case: after a wrong password: $(asks "$folder") dialogs, running: $(kill -0 "$pid" 2>/dev/null && echo yes)"
        ! key_leaves_it_running && [ "$(asks "$folder")" = 2 ] && pass "$case: the right password ended it" ||
            fail "$case: after the right password: $(asks "$folder") dialogs"
        grep -qx 'asked, owned by another window' "$folder/skardel-password.log" &&
            fail "$case: a dialog not owned by the saver's window"
        [ "$(running)" = 0 ] && pass "$case: the system is told it ended" || fail "$case: the system still thinks it runs"
    else
        xdotool key a
        sleep 2
        ! kill -0 "$pid" 2>/dev/null && [ ! -e "$folder/skardel-password.log" ] &&
            pass "$case: the first key ended it, nothing loaded" ||
            fail "$case: the key left it running or loaded $folder/PASSWORD.CPL"
    fi
    [ -z "$pid" ] || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; pid=; }
    got=$(told_ends "$told")
    [ "$got" = "Skardel saver ended: $told_end" ] && pass "$case: told \"$got\"" ||
        fail "$case: told \"$got\", not \"Skardel saver ended: $told_end\""
done <<'CASES'
win98 dword system asking password given
win98 none system at-once key
win2k dword system at-once key
win10 dword system at-once key
win98 text beside at-once key (password not checked: the system folder has no PASSWORD.CPL with VerifyScreenSavePwd)
CASES
echo "$failures failed"
[ "$failures" -eq 0 ]
