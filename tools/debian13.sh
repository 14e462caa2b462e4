#!/usr/bin/env bash
# Runs the launcher's tests on Debian 13 ("trixie") from a Debian 12 machine: in a Debian 13 root
# under build/, made from Debian's packages with mmdebstrap, from the mirror that this machine's
# own apt sources name.
#
#   tools/debian13.sh [PRESET...]     (as root; default: release windows)
#   tools/debian13.sh --root-only     makes the root when it is missing or stale, nothing else
#   tools/debian13.sh --run COMMAND   runs a shell command in the clone in the root instead of
#                                     the tests (e.g. one test: --run 'ctest --preset release -R orca')
#
# The root is made once and reused while tools/install-deps.sh is unchanged; a root made by
# another install-deps.sh, or one whose making was interrupted, is made anew (the file
# .vantu-deps in it holds the checksum of the install-deps.sh it was made with, written last).
# The checkout, with its uncommitted changes and new files, is committed to a private ref and
# cloned into the root (its build folders are kept from run to run, so a rebuild is
# incremental); there tools/test.sh runs the given presets.
#
# Everything runs in a mount and PID namespace of its own (unshare): the root's /proc, /sys and
# /dev exist only in it, and when its first process ends, by success, failure or Ctrl+C, the
# kernel ends every process left in it and drops every mount. Nothing stays running or mounted.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
root=${VANTU_DEBIAN13_ROOT:-$top/build/debian13-root}
readonly suite=trixie stamp=.vantu-deps

die() {
    echo "debian13: $*" >&2
    exit 1
}
[ "$(id -u)" -eq 0 ] || die "making and entering a Debian root needs root"
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

# Runs a command as root inside the Debian root, in a mount and PID namespace of its own, with a
# clean environment (CI passed on).
in_root() {
    unshare --mount --pid --fork --kill-child --propagation private \
        bash -euc 'mount -t proc proc "$1/proc"
            mount --rbind /sys "$1/sys"
            mount --rbind /dev "$1/dev"
            shift
            exec chroot "$@"' in-root "$root" "$root" env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin ${CI:+CI=$CI} "$@"
}

deps=$(sha256sum tools/install-deps.sh | cut -d' ' -f1)
if [ "$(cat "$root/$stamp" 2>/dev/null)" != "$deps" ]; then
    started=$SECONDS
    echo "debian13: making $root from $(mirror)" >&2
    rm -rf --one-file-system -- "$root"
    mkdir -p "$(dirname "$root")"
    mmdebstrap --quiet --variant=apt --include=ca-certificates,git,sudo,procps "$suite" "$root" \
        "deb $(mirror) $suite main" || die "mmdebstrap failed"
    install -m 755 tools/install-deps.sh "$root/root/install-deps.sh"
    in_root bash /root/install-deps.sh || die "installing the packages in the root failed"
    in_root apt-get clean
    echo "$deps" >"$root/$stamp"
    echo "debian13: made the root in $((SECONDS - started)) s" >&2
fi

[ "${1:-}" != --root-only ] || exit 0

# The checkout as it stands, new files included, cloned into the root.
bash tools/checkout-commit.sh debian13
clone=$root/work/vantu
[ -d "$clone/.git" ] || git clone --quiet --no-checkout "$top" "$clone"
git -C "$clone" fetch --quiet "$top" refs/vantu/debian13
git -C "$clone" checkout --quiet --force --detach FETCH_HEAD
git -C "$clone" clean --quiet -fdx -e /build/

if [ "${1:-}" = --run ]; then
    in_root bash -c "cd /work/vantu && $2"
else
    [ $# -gt 0 ] || set -- release windows
    in_root bash -c 'cd /work/vantu && bash tools/test.sh "$@"' test "$@"
fi
