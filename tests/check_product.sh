#!/bin/sh
# Checks the shipped Skardel.scr without running it: a PE32 GUI program for
# Intel 80386 whose imports are all Windows system DLLs.
set -u
scr=$1
fail=0
dump=$(i686-w64-mingw32-objdump -p "$scr") || { echo "cannot read $scr"; exit 1; }

echo "$dump" | grep -q 'file format pei-i386' || { echo "FAIL: not a PE32 i386 image"; fail=1; }
echo "$dump" | grep -Eq '^Magic[[:space:]]+010b' || { echo "FAIL: optional header is not PE32"; fail=1; }
echo "$dump" | grep -Eq '^Subsystem[[:space:]]+00000002' || { echo "FAIL: not a Windows GUI program"; fail=1; }

allowed='^(kernel32|user32|gdi32|advapi32|comctl32|ddraw|version|winmm|msvcrt|shell32|ole32)\.dll$'
dlls=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "FAIL: no imports found"; fail=1; }
for d in $dlls; do
    if echo "$d" | grep -Eq "$allowed"; then
        echo "import ok: $d"
    else
        echo "FAIL: imports $d"
        fail=1
    fi
done
# Newer than Windows 95 and NT 4: looked up at run time, never imported.
for f in EnumDisplayMonitors GetMonitorInfoA; do
    if echo "$dump" | grep -Eq "[[:space:]]$f\$"; then
        echo "FAIL: imports $f"
        fail=1
    fi
done
if [ $fail -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit $fail
