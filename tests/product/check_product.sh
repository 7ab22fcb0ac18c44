#!/bin/sh
# Checks the shipped Skardel.scr without running it: a PE32 GUI program for
# Intel 80386 that imports only functions of the system's own DLLs that
# Windows 95 (with msvcrt.dll) and NT 4.0 have, as listed in imports.list.
# A file built with the POSIX thread model, given as the third argument,
# must fail that import check: it shows that the check sees what it is for.
#   check_product.sh <Skardel.scr> <imports.list> [posix-built Skardel.scr]
set -u
scr=$1
list=$2
posix=${3:-}
fail=0
say_fail() { echo "FAIL: $*"; fail=1; }

# "dll:function" for every function the file imports by name.
imports_of() { # <file>
    i686-w64-mingw32-objdump -p "$1" | awk '
        /^\tDLL Name:/ { dll = tolower($3); next }
        !/^\t/ { dll = "" }
        dll != "" && /^\t[0-9a-f]+\t/ && $2 ~ /^[0-9]+$/ {
            # By name, or by ordinal alone (which no list line allows).
            print dll ":" (NF >= 3 ? $3 : "#" $2)
        }' | sort -u
}

# The list's lines that break its own rules: a system newer than Windows 95
# or NT 4.0, a stub that is not one function with the reason it is harmless,
# an unknown source, no function.
bad_list_lines() {
    awk '!/^#/ && NF {
        n = 0; reason = 0
        for (i = 5; i <= NF; i++) { if ($i == "--") { reason = (i < NF); break } n++ }
        ok = ($2 == "95" || ($2 == "95-stub" && n == 1 && reason)) && ($3 ~ /^(3\.1|3\.5|3\.51|4\.0)$/) &&
             ($4 ~ /^(sdk|mslu|crt|cc)$/) && n > 0
        if (!ok) print "line " NR ": " $0
    }' "$list"
}

# Every function the list allows, one "dll:function" a line.
listed() {
    awk '!/^#/ && NF { for (i = 5; i <= NF && $i != "--"; i++) print tolower($1) ":" $i }' "$list" | sort -u
}

# The imports of <file> the list does not allow, one "dll:function" a line.
unlisted_imports() { # <file>
    imports_of "$1" | comm -23 - "$allowed"
}

allowed=$(mktemp)
trap 'rm -f "$allowed"' EXIT
listed >"$allowed"

dump=$(i686-w64-mingw32-objdump -p "$scr") || { echo "cannot read $scr"; exit 1; }
echo "$dump" | grep -q 'file format pei-i386' || say_fail "not a PE32 i386 image"
echo "$dump" | grep -Eq '^Magic[[:space:]]+010b' || say_fail "optional header is not PE32"
echo "$dump" | grep -Eq '^Subsystem[[:space:]]+00000002' || say_fail "not a Windows GUI program"

bad=$(bad_list_lines)
[ -z "$bad" ] || say_fail "imports.list allows what the oldest systems lack: $bad"

imports=$(imports_of "$scr")
[ -n "$imports" ] || say_fail "no imports found"
echo "$(echo "$imports" | wc -l) functions imported from $(echo "$imports" | cut -d: -f1 | sort -u | tr '\n' ' ')"
for f in $(unlisted_imports "$scr"); do
    say_fail "imports $f, which imports.list does not allow"
done
# A line for a function no longer imported is only untidy.
stale=$(echo "$imports" | comm -13 - "$allowed" | tr '\n' ' ')
[ -z "$stale" ] || echo "note: imports.list names what the file no longer imports: $stale"
# DirectDraw is looked up when the display is made, so the file loads (and
# its configuration sheet opens) where there is none.
echo "$imports" | grep -q '^ddraw\.dll:' && say_fail "imports ddraw.dll"
# The runtime's start-up sets the x87 unit to double precision through
# msvcrt's _fpreset (CRT_fp8.o); the default start-up sets extended
# precision itself and imports nothing for it.
echo "$imports" | grep -qx 'msvcrt\.dll:_fpreset' ||
    say_fail "does not start in double precision (no msvcrt.dll:_fpreset: CRT_fp8.o not linked)"

if [ -n "$posix" ]; then
    caught=$(unlisted_imports "$posix" | tr '\n' ' ')
    if [ -n "$caught" ]; then
        echo "a POSIX-thread build is refused for: $caught"
    else
        say_fail "a POSIX-thread build ($posix) passes the import check: the check sees nothing"
    fi
fi

if [ $fail -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit $fail
