#!/usr/bin/env bash
# Runs the launcher's tests on Debian 13 ("trixie") from a Debian 12 machine: in a Debian 13 root
# under build/, made from Debian's packages with mmdebstrap, from the mirror that this machine's
# own apt sources name.
#
#   tools/debian13.sh [PRESET...]     (default: release windows)
#   tools/debian13.sh --root-only     makes the root when it is missing or stale, nothing else
#   tools/debian13.sh --run COMMAND   runs a shell command in the clone in the root instead of
#                                     the tests (e.g. one test: --run 'ctest --preset release -R orca')
#   tools/debian13.sh --needs-sudo    exits with 0 when making or entering the root would go
#                                     through sudo, else 1; does nothing
#
# VANTU_DEBIAN13_ROOT names another folder for the root (taken from the caller's folder). The
# script removes a folder there only when it made it (the file .vantu-debian13-root in it,
# written before anything else) or when it is empty; any other is refused and left alone.
# With VANTU_SUDO_ASKED=1 (tools/test.sh asked for the password at its start and keeps it
# fresh) sudo is never allowed to ask: this script may run in the background, with no terminal.
#
# Root makes and enters the Debian root itself. Another user makes it in a user namespace
# (mmdebstrap --mode=unshare), where root in the Debian root is the first id of the user's ranges
# in /etc/subuid and /etc/subgid, when the system allows that (newuidmap, such ranges,
# unprivileged user namespaces, and a path to build/ those ids may pass); else it makes and
# enters it through sudo, and uses sudo for nothing else. The two kinds belong to different ids,
# so each is entered only as made: one made as root by root or through sudo, one made in a user
# namespace by the user whose ids own it; any other is made anew.
#
# The root is made once and reused while tools/install-deps.sh is unchanged; a root made by
# another install-deps.sh, or one whose making was interrupted, is made anew (the file
# .vantu-deps in it, written last, holds the checksum of the install-deps.sh it was made with
# and how it was made).
# The checkout, with its uncommitted changes and new files, is committed to a private ref (as
# this user: nothing in the checkout's .git is written by another), handed into the root as a git
# bundle and fetched by the clone there (its build folders are kept from run to run, so a rebuild
# is incremental); there tools/test.sh runs the given presets.
#
# Everything in the root runs in a mount and PID namespace of its own (unshare): the root's
# /proc, /sys and /dev exist only in it, and when its first process ends, by success, failure or
# Ctrl+C, the kernel ends every process left in it and drops every mount. Nothing stays running
# or mounted.
set -euo pipefail
# shellcheck source=checkout-lock.sh
source "$(dirname "$0")/checkout-lock.sh"
hold_checkout_lock "$@"
[ -z "${VANTU_DEBIAN13_ROOT:-}" ] || root=$(realpath -m -- "$VANTU_DEBIAN13_ROOT")
cd "$(dirname "$0")/.."
top=$PWD
root=${root:-$top/build/debian13-root}
readonly suite=trixie stamp=.vantu-deps mark=.vantu-debian13-root
sudo=(sudo)
[ "${VANTU_SUDO_ASKED:-}" != 1 ] || sudo=(sudo -n)

die() {
    echo "debian13: $*" >&2
    exit 1
}
# chroot and the like are in sbin, which is not in a user's PATH on Debian.
PATH=$PATH:/usr/sbin:/sbin
for tool in mmdebstrap unshare chroot git sha256sum; do
    command -v "$tool" >/dev/null || die "$tool is missing (bash tools/install-deps.sh installs it)"
done

# The Debian mirror of this machine's own apt sources (deb822 or one-line format).
mirror() {
    local uri
    uri=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null) ||
        true
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 ~ /debian\/?$/ { print $2; exit }' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null) || true
    echo "${uri:-http://deb.debian.org/debian}"
}

# "userns UID UIDS GID GIDS": this user's first ranges of subordinate ids, as mmdebstrap maps
# them (root in the namespace is the first of each); nothing when there are none.
subids() {
    local name uids gids
    name=$(id -un)
    uids=$(awk -F: -v n="$name" '$1 == n { print $2, $3; exit }' /etc/subuid 2>/dev/null) || true
    gids=$(awk -F: -v n="$name" '$1 == n { print $2, $3; exit }' /etc/subgid 2>/dev/null) || true
    [ -z "$uids" ] || [ -z "$gids" ] || echo "userns $uids $gids"
}

# Sets as_root to the command prefix that acts as root of a Debian root made as $1 says
# ("root", or "userns ..." from subids).
as_root_of() {
    local how uid uids gid gids
    read -r how uid uids gid gids <<<"$1"
    if [ "$how" = userns ]; then
        as_root=(unshare --map-users="$uid,0,$uids" --map-groups="$gid,0,$gids" --setuid 0 --setgid 0)
    elif [ "$(id -u)" -eq 0 ]; then
        as_root=()
    else
        command -v sudo >/dev/null || die "$root was made by root; entering it needs sudo"
        as_root=("${sudo[@]}")
    fi
}

# How this user makes a root: "root" as root; in its user namespace when the system allows it
# (apt in the root needs 65536 ids: _apt, nobody); else "root" through sudo.
own_way() {
    local ids parent
    if [ "$(id -u)" -ne 0 ] && command -v newuidmap >/dev/null && ids=$(subids) && [ -n "$ids" ]; then
        read -r _ _ uids _ gids <<<"$ids"
        if [ "$uids" -ge 65536 ] && [ "$gids" -ge 65536 ]; then
            as_root_of "$ids"
            parent=$(dirname "$root")
            mkdir -p "$parent"
            if "${as_root[@]}" sh -c 'cd "$1"' sh "$parent" 2>/dev/null; then
                echo "$ids"
                return
            fi
        fi
    fi
    echo root
}

# Runs a command as root inside the Debian root, in a mount and PID namespace of its own, with a
# clean environment (CI passed on). Standard input is passed on.
in_root() {
    "${as_root[@]}" unshare --mount --pid --fork --kill-child --propagation private \
        bash -euc 'mount -t proc proc "$1/proc"
            mount --rbind /sys "$1/sys"
            mount --rbind /dev "$1/dev"
            shift
            exec chroot "$@"' in-root "$root" "$root" env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin ${CI:+CI=$CI} "$@"
}

# Removes a root that is stale: as root, through its user namespace when its ids are this user's
# (the folder itself then goes as this user, who owns build/), else through sudo. Only a folder
# this script made (its mark, or the stamp of older versions, which left no mark) or an empty
# one is removed.
remove_root() {
    local ids
    [ -e "$root" ] || [ -L "$root" ] || return 0
    if [ -L "$root" ] || [ ! -d "$root" ] ||
        { [ ! -e "$root/$mark" ] && [ ! -e "$root/$stamp" ] && [ -n "$(ls -A "$root" 2>&1)" ]; }; then
        die "$root already exists and is no Debian root this script made (it has no $mark):" \
            "it is left alone; name another VANTU_DEBIAN13_ROOT, or remove it yourself"
    fi
    ids=$(subids)
    if [ "$(id -u)" -eq 0 ] || [ "$(stat -c %u "$root")" = "$(id -u)" ]; then
        rm -rf --one-file-system -- "$root"
    elif [ -n "$ids" ] && [ "$(stat -c %u "$root")" = "$(cut -d' ' -f2 <<<"$ids")" ]; then
        as_root_of "$ids"
        "${as_root[@]}" find "$root" -mindepth 1 -maxdepth 1 -exec rm -rf --one-file-system -- {} +
        rmdir -- "$root"
    else
        "${sudo[@]}" rm -rf --one-file-system -- "$root"
    fi
}

deps=$(sha256sum tools/install-deps.sh | cut -d' ' -f1)
made=$(cat "$root/$stamp" 2>/dev/null) || made=""
own=""
if [ "$made" = "$deps root" ]; then
    as_root_of root
else
    own=$(own_way)
    [ "$made" = "$deps $own" ] || made=""
    as_root_of "$own"
fi
if [ "${1:-}" = --needs-sudo ]; then
    [ "${as_root[0]:-}" = sudo ]
    exit
fi
if [ -z "$made" ]; then
    started=$SECONDS
    echo "debian13: making $root from $(mirror) (${own%% *})" >&2
    remove_root
    mkdir -p "$(dirname "$root")"
    # The mark first: whatever becomes of the making, the folder is known as this script's.
    if [ "$own" = root ]; then
        "${as_root[@]}" sh -c 'mkdir "$1" && : >"$1/$2"' mark "$root" "$mark"
    else
        mkdir "$root" && : >"$root/$mark"
    fi
    if [ "$own" = root ]; then
        "${as_root[@]}" mmdebstrap --mode=root --quiet --variant=apt --skip=check/empty \
            --include=ca-certificates,git,sudo,procps "$suite" "$root" "deb $(mirror) $suite main"
    else
        mmdebstrap --mode=unshare --quiet --variant=apt --skip=check/empty \
            --include=ca-certificates,git,sudo,procps "$suite" "$root" "deb $(mirror) $suite main"
    fi || die "mmdebstrap failed"
    # Handed over on standard input: root of a user namespace may not read this checkout.
    "${as_root[@]}" sh -c 'cat >"$1" && chmod 755 "$1"' install "$root/root/install-deps.sh" \
        <tools/install-deps.sh
    in_root bash /root/install-deps.sh </dev/null || die "installing the packages in the root failed"
    in_root apt-get clean
    echo "$deps $own" | "${as_root[@]}" sh -c 'cat >"$1"' stamp "$root/$stamp"
    echo "debian13: made the root in $((SECONDS - started)) s" >&2
fi

[ "${1:-}" != --root-only ] || exit 0

# The checkout as it stands, new files included, fetched by the clone in the root from a bundle
# on standard input.
bash tools/checkout-commit.sh debian13
if [ "${1:-}" = --run ]; then
    set -- bash -c "cd /work/vantu && $2"
else
    [ $# -gt 0 ] || set -- release windows
    set -- bash -c 'cd /work/vantu && bash tools/test.sh "$@"' test "$@"
fi
git bundle create --quiet - refs/vantu/debian13 | in_root bash -euc '
    mkdir -p /work/vantu
    cd /work/vantu
    [ -d .git ] || git -c init.defaultBranch=main init --quiet
    cat >/tmp/checkout.bundle
    git fetch --quiet /tmp/checkout.bundle refs/vantu/debian13
    rm /tmp/checkout.bundle
    git checkout --quiet --force --detach FETCH_HEAD
    git clean --quiet -fdx -e /build/
    exec "$@" </dev/null' clone "$@"
