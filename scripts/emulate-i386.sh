#!/bin/sh
# Lets a machine that cannot run 32-bit x86 code run the 32-bit programs all
# the same, through qemu's user-mode emulation:
# - qemu-user from the release's backports (bookworm's own 7.2 cannot run
#   Wine: "failed to map the shared user data"), whose static qemu-i386 a
#   binfmt_misc entry takes for every i386 program (kernel-wide: it stays
#   until the machine restarts or `echo -1 > /proc/sys/fs/binfmt_misc/skardel-i386`);
# - the 32-bit Wine of the host's own Wine version with what it needs,
#   downloaded through a private apt configuration and unpacked into a folder
#   of ours, never installed: the host's package architectures stay as they
#   are (a system-wide wine32:i386 would make Debian's `wine` pick the 32-bit
#   loader for every program, and each 64-bit one would fail wherever the
#   entry is gone).
# The folder is kept outside the clone (arch.sh's i386_cache) for later runs
# and other clones. Safe to run again. A step that cannot be done is named in
# one line; what this run added to the host is taken back, and it ends with 1.
set -u
. "$(dirname "$0")/arch.sh"

LOG=${SKARDEL_BOOTSTRAP_LOG:-${TMPDIR:-/tmp}/skardel-bootstrap.log}
SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo -n"; fi
cache=$(i386_cache)
root=$cache/root
binfmt=$(binfmt_dir)
entry=$binfmt/$I386_ENTRY

# What this run added to the host, taken back when a step fails; so is a
# half-made tree.
mounted= added=
give_up() {
    [ -z "$added" ] || $SUDO sh -c "echo -1 >'$entry'" >>"$LOG" 2>&1
    [ -z "$mounted" ] || $SUDO umount "$binfmt" >>"$LOG" 2>&1
    rm -rf "$cache/apt" "$root.new"
    echo "bootstrap: 32-bit programs cannot be emulated: $*; going on with the x86-64 build" >&2
    exit 1
}

# Only binfmt_misc needs root, and only when something is to change there.
as_root() {
    [ -z "$SUDO" ] || sudo -n true 2>/dev/null || give_up "binfmt_misc needs root, and sudo asks for a password"
    $SUDO "$@"
}

# The host's address of the Debian archive that serves <suite>.
archive_of() { # <suite> <default>
    local uri
    uri=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 'Identifier: Packages' 2>/dev/null |
        awk -v s="$1" '$1 == s { print $2; exit }')
    echo "${uri:-$2}"
}

# The 32-bit Wine of <version>, the X libraries it loads and qemu-user,
# unpacked into $root.
fetch_tree() { # <Wine version>
    local apt=$cache/apt codename arch deb qemu
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$codename" ] || give_up "the Debian release of this machine is unknown (/etc/os-release)"
    arch=$(dpkg --print-architecture)
    rm -rf "$apt" "$root.new"
    mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/parts" "$apt/prefs.d" "$root.new/etc"
    : >"$apt/status"
    local debian security keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    debian=$(archive_of "$codename" http://deb.debian.org/debian/)
    security=$(archive_of "$codename-security" http://deb.debian.org/debian-security/)
    cat >"$apt/sources.list" <<EOF
deb [signed-by=$keyring] $debian $codename main
deb [signed-by=$keyring] $debian $codename-updates main
deb [signed-by=$keyring] $debian $codename-backports main
deb [signed-by=$keyring] $security $codename-security main
EOF
    # Everything apt keeps is ours; an empty package database makes it fetch
    # the whole closure of what is asked for.
    cat >"$apt/apt.conf" <<EOF
Dir::State "$apt";
Dir::State::lists "$apt/lists";
Dir::State::status "$apt/status";
Dir::Cache "$apt";
Dir::Cache::archives "$apt/archives";
Dir::Etc::SourceList "$apt/sources.list";
Dir::Etc::SourceParts "$apt/parts";
Dir::Etc::PreferencesParts "$apt/prefs.d";
APT::Architecture "i386";
APT::Architectures { "i386"; "$arch"; };
APT::Sandbox::User "root";
Acquire::Languages "none";
EOF
    export APT_CONFIG=$apt/apt.conf
    apt-get update >>"$LOG" 2>&1 || give_up "the package lists of $debian could not be read (see $LOG)"
    # shellcheck disable=SC2046
    apt-get install -y --download-only --no-install-recommends "wine32:i386=$1" $(wine_x_libraries :i386) \
        >>"$LOG" 2>&1 || give_up "wine32:i386 $1 could not be downloaded (see $LOG)"
    # The newest qemu-user: backports first, the release's own only when it
    # is new enough.
    local v
    qemu=
    for v in $(apt-cache madison "qemu-user:$arch" 2>/dev/null | awk '{ print $3 }'); do
        [ -n "$qemu" ] && dpkg --compare-versions "$v" le "$qemu" || qemu=$v
    done
    dpkg --compare-versions "${qemu:-0}" ge 1:8 ||
        give_up "no qemu-user of version 8 or later in $codename or its backports (found: ${qemu:-none})"
    (cd "$apt/archives" && apt-get download "qemu-user:$arch=$qemu" >>"$LOG" 2>&1) ||
        give_up "qemu-user $qemu could not be downloaded (see $LOG)"
    for deb in "$apt"/archives/*.deb; do
        dpkg -x "$deb" "$root.new" || give_up "$deb could not be unpacked"
    done
    # Debian's 32-bit Wine looks for zlib1.dll beside its own DLLs.
    cp "$root.new/usr/i686-w64-mingw32/lib/zlib1.dll" "$root.new/usr/lib/i386-linux-gnu/wine/i386-windows/" ||
        give_up "no zlib1.dll among the packages"
    # Its own library cache, else Wine finds no FreeType and draws no text.
    echo 'include /etc/ld.so.conf.d/*.conf' >"$root.new/etc/ld.so.conf"
    "$(command -v ldconfig || echo /sbin/ldconfig)" -r "$root.new" || give_up "ldconfig -r $root.new failed"
    rm -rf "$root" "$apt"
    mv "$root.new" "$root"
}

if [ ! -f "$binfmt/register" ] && [ "$binfmt" = /proc/sys/fs/binfmt_misc ]; then
    as_root mount -t binfmt_misc binfmt_misc "$binfmt" >>"$LOG" 2>&1 && mounted=1
fi
[ -f "$binfmt/register" ] || give_up "binfmt_misc is not available at $binfmt"
version=$(dpkg-query -W -f '${Version}' wine64 2>/dev/null) || give_up "wine64 is not installed"

if [ "$(cat "$cache/ready" 2>/dev/null)" != "$version" ]; then
    echo "bootstrap: fetching the 32-bit Wine $version and qemu-user into $cache (log: $LOG)" >&2
    rm -f "$cache/ready"
    fetch_tree "$version"
    echo "$version" >"$cache/ready"
fi

# An entry of that name is kept as it is (the kernel holds its qemu open);
# one turned off was turned off on purpose.
if [ ! -f "$entry" ]; then
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    # F: the kernel opens qemu now, so that it serves in any mount namespace.
    as_root sh -c "echo ':$I386_ENTRY:M::$magic:$mask:$root/usr/bin/qemu-i386:F' >'$binfmt/register'" \
        >>"$LOG" 2>&1 || give_up "the binfmt_misc entry could not be registered (see $LOG)"
    added=1
fi
grep -qx enabled "$entry" || give_up "the binfmt_misc entry $entry is turned off (echo 1 into it turns it on)"

# Does it work: a tiny 32-bit program, then the emulated Wine's own start.
t=$(mktemp -d "${TMPDIR:-/tmp}/skardel-emulated.XXXXXX")
if ! { tiny_i386_program "$t/t" && "$t/t"; } >>"$LOG" 2>&1 ||
    ! QEMU_LD_PREFIX=$root "$root/usr/lib/wine/wine" --version >>"$LOG" 2>&1; then
    rm -rf "$t"
    give_up "qemu did not run the 32-bit Wine (see $LOG)"
fi
rm -rf "$t"
exit 0
