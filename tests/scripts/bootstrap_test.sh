#!/bin/sh
# The bootstrap against a fake package manager: apt-get and dpkg on the PATH
# keep their state in files, so each case sets up a machine (what is
# installed, what the mirror refuses, whether updates fail) and checks what
# the bootstrap did to it.
#   bootstrap_test.sh <scripts/bootstrap.sh>
set -u
bootstrap=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/skardel-bootstrap-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
passes=0

mkdir -p "$work/bin"
# dpkg: -s, the foreign architectures, adding and removing one.
cat >"$work/bin/dpkg" <<'FAKE'
#!/bin/sh
case "$1" in
-s) grep -qx "$2" "$STATE/installed" && echo "Status: install ok installed" && exit 0; exit 1 ;;
--print-foreign-architectures) cat "$STATE/arches" ;;
--add-architecture) echo "add-architecture $2" >>"$STATE/calls"; echo "$2" >>"$STATE/arches" ;;
--remove-architecture) echo "remove-architecture $2" >>"$STATE/calls"
    grep -vx "$2" "$STATE/arches" >"$STATE/arches.new"; mv "$STATE/arches.new" "$STATE/arches" ;;
-L) exit 1 ;;
esac
FAKE
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/bin/sh
grep -qx wine64 "$STATE/installed" && echo 8.0~repack-4
FAKE
# apt-get: update fails as often as $STATE/update_failures says; install
# fails as a whole when any package asked for is in $STATE/refused. The
# private apt of the 32-bit emulation (APT_CONFIG) finds a mirror that
# refuses everything.
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/sh
if [ -n "${APT_CONFIG:-}" ]; then echo "private $1" >>"$STATE/calls"; exit 100; fi
case "$1" in
update)
    echo update >>"$STATE/calls"
    n=$(cat "$STATE/update_failures")
    if [ "$n" -gt 0 ]; then echo $((n - 1)) >"$STATE/update_failures"; echo "E: Mirror sync in progress?"; exit 100; fi ;;
install)
    shift
    pkgs=
    for a in "$@"; do case "$a" in -*) ;; *) pkgs="$pkgs $a" ;; esac; done
    echo "install$pkgs" >>"$STATE/calls"
    for p in $pkgs; do
        if grep -qx "$p" "$STATE/refused"; then echo "E: held broken packages"; exit 100; fi
    done
    for p in $pkgs; do echo "$p" >>"$STATE/installed"; done ;;
esac
FAKE
printf '#!/bin/sh\n[ "$1" != -n ] || shift\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

NEEDED="wine wine64 g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev xvfb xdotool x11-apps
imagemagick fonts-wine xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
cmake make g++ binutils googletest ca-certificates libxrandr2 libxinerama1 libxcursor1 libxi6
libxrender1 libxcomposite1 libxfixes3 libxxf86vm1"
WINE32="wine32:i386 libxrandr2:i386 libxinerama1:i386 libxcursor1:i386 libxi6:i386 libxrender1:i386
libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386"

check() { # <case> <what> <condition...>
    local name=$1 what=$2
    shift 2
    if "$@"; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        echo "FAIL [$name] $what"
        sed 's/^/    calls: /' "$STATE/calls"
        sed 's/^/    said:  /' "$STATE/stderr"
    fi
}

# <case> <runs 32-bit code> <installed: all|none|all-but-wine32> <update failures> <refused...>
machine() {
    STATE=$work/$1
    export STATE
    mkdir -p "$STATE"
    : >"$STATE/calls"
    : >"$STATE/arches"
    : >"$STATE/installed"
    echo "$4" >"$STATE/update_failures"
    case "$3" in
    all) printf '%s\n' $NEEDED $WINE32 >"$STATE/installed"; echo i386 >"$STATE/arches" ;;
    all-but-wine32) printf '%s\n' $NEEDED >"$STATE/installed" ;;
    esac
    shift 4
    printf '%s\n' "$@" >"$STATE/refused"
    mkdir -p "$STATE/binfmt"
}

run() { # <runs 32-bit code: 0|1|"" to find out>
    PATH="$work/bin:$PATH" SKARDEL_RUNS_I386=$1 SKARDEL_BOOTSTRAP_LOG="$STATE/install.log" \
        SKARDEL_BINFMT_DIR="$STATE/binfmt" SKARDEL_CACHE="$STATE/cache" \
        sh "$bootstrap" >"$STATE/stdout" 2>"$STATE/stderr" </dev/null
    echo $? >"$STATE/rc"
}

rc_is() { [ "$(cat "$STATE/rc")" = "$1" ]; }
installed() { grep -qx "$1" "$STATE/installed"; }
all_needed_installed() { for p in $NEEDED; do installed "$p" || return 1; done; }
said() { grep -q -- "$1" "$STATE/stderr"; }
said_lines() { [ "$(grep -c -- "$1" "$STATE/stderr")" = "$2" ]; }
called() { grep -qx -- "$1" "$STATE/calls"; }
call_count() { [ "$(grep -c -x -- "$1" "$STATE/calls")" = "$2" ]; }
no_calls() { [ ! -s "$STATE/calls" ]; }
arches_are() { [ "$(cat "$STATE/arches" | tr '\n' ' ')" = "$1" ]; }
not() { ! "$@"; }

# A fresh 32-bit capable machine on a mirror whose i386 index is out of step:
# both updates fail, wine32 is refused; everything else installs, the host
# keeps no i386 architecture, and one line says what happened.
machine broken-mirror 1 none 3 wine32:i386
run 1
check broken-mirror "ends well" rc_is 0
check broken-mirror "needed packages installed" all_needed_installed
check broken-mirror "update retried once, then again for i386" call_count update 4
check broken-mirror "wine32 tried" called "install $(echo $WINE32)"
check broken-mirror "wine32 not installed" not installed wine32:i386
check broken-mirror "one line about wine32" said_lines "wine32:i386 cannot be installed" 1
check broken-mirror "the line names the log" said "$STATE/install.log"
check broken-mirror "i386 architecture removed again" arches_are ""

# A machine that cannot run 32-bit code: the i386 architecture is never added
# and wine32 never asked for.
machine no-i386 0 none 0
run 0
check no-i386 "ends well" rc_is 0
check no-i386 "needed packages installed" all_needed_installed
check no-i386 "no i386 architecture added" not called "add-architecture i386"
check no-i386 "wine32 never asked for" not called "install wine32:i386"
check no-i386 "one update" call_count update 1
check no-i386 "one line about the emulation" said_lines "binfmt_misc is not available at $STATE/binfmt" 1

# i386 programs handed to qemu, under any entry name: emulated, so wine32
# never enters the system; the private fetch is refused: one line.
machine emulating 1 all-but-wine32 0
printf 'enabled\ninterpreter /usr/bin/qemu-i386\nflags: F\noffset 0\nmagic 7f454c4601010100000000000000000002000300\n' \
    >"$STATE/binfmt/qemu-other"
: >"$STATE/binfmt/register"
run ""
check emulating "ends well" rc_is 0
check emulating "no i386 architecture added" not called "add-architecture i386"
check emulating "wine32 never installed" not called "install $(echo $WINE32)"
check emulating "the private fetch tried" called "private update"
check emulating "one line about it" said_lines "32-bit programs cannot be emulated: the package lists" 1
check emulating "nothing registered" not test -s "$STATE/binfmt/register"

# A needed package the mirror refuses: the rest is installed one by one, and
# the failure names that package and the log.
machine missing-needed 0 none 0 xdotool
run 0
check missing-needed "fails" rc_is 1
check missing-needed "names the package" said "needed packages could not be installed: xdotool (see $STATE/install.log)"
check missing-needed "the others installed" installed cmake
check missing-needed "xdotool not installed" not installed xdotool

# Everything in place: not a single package manager call.
machine complete 1 all 0
run 1
check complete "ends well" rc_is 0
check complete "nothing asked" no_calls
check complete "says nothing" not test -s "$STATE/stderr"

# Update fails once, then the mirror is fine: wine32 lands and i386 stays.
machine flaky-update 1 all-but-wine32 1
run 1
check flaky-update "ends well" rc_is 0
check flaky-update "update retried" call_count update 2
check flaky-update "wine32 installed" installed wine32:i386
check flaky-update "i386 architecture kept" arches_are "i386 "
check flaky-update "no failure line" not said "cannot be installed"

echo "bootstrap: $passes passed, $failures failed"
[ $failures -eq 0 ]
