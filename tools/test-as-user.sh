#!/usr/bin/env bash
# Runs the tools as they run on a fresh machine: with no git identity, and as a user with sudo
# (vantu-sudo-test, made here and removed at the end, also on failure) in a clone of its own.
# tools/test.sh runs it as root at the end of its default run.
#
#   tools/test-as-user.sh [--debian13]     (as root)
#
# It checks that
#  - tools/checkout-commit.sh commits with no git identity, as root and as the user, and the same
#    checkout twice gives the same commit;
#  - run as root in the user's checkout, it leaves nothing in that .git that is not the user's;
#  - as the user, tools/install-deps.sh succeeds, also when a package is missing (through sudo);
#  - with --debian13 (after the Debian 13 step, on Debian 12): as the user, tools/debian13.sh
#    runs a command in the Debian 13 root of this checkout, through sudo, without making the root
#    again, on the user's checkout as it stands, and leaves the user's .git the user's; and where
#    the system allows user namespaces, the user makes and enters a root of its own without root
#    (a bare one: its install-deps.sh is replaced by one that installs nothing), and makes it
#    anew when that script changes.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
[ "$(id -u)" -eq 0 ] || { echo "test-as-user: needs root (it makes a user)" >&2; exit 2; }
debian13=0
[ "${1:-}" != --debian13 ] || debian13=1
readonly user=vantu-sudo-test ref=refs/vantu/test-as-user no_id_ref=refs/vantu/test-no-identity

failed=0
pass() { echo "test-as-user: ok: $*"; }
fail() {
    echo "test-as-user: FAILED: $*" >&2
    failed=1
}

# Git in this checkout as its owner: root writes nothing into another user's .git either.
git_here() {
    setpriv --reuid="$(stat -c %u .)" --regid="$(stat -c %g .)" --clear-groups \
        env HOME=/nonexistent git "$@"
}

scratch=$(mktemp -d)
end() {
    userdel --force --remove "$user" 2>/dev/null || true
    rm -f "/etc/sudoers.d/$user"
    git_here update-ref -d "$ref" 2>/dev/null || true
    git_here update-ref -d "$no_id_ref" 2>/dev/null || true
    rm -rf "$scratch"
}
trap end EXIT

# Git with no identity: a home of its own, no global or system settings, none in the environment.
no_identity=(env -u EMAIL -u GIT_AUTHOR_NAME -u GIT_AUTHOR_EMAIL -u GIT_COMMITTER_NAME
    -u GIT_COMMITTER_EMAIL HOME="$scratch" GIT_CONFIG_GLOBAL=/dev/null GIT_CONFIG_NOSYSTEM=1)

# As root with no identity, twice: the same commit.
if "${no_identity[@]}" bash tools/checkout-commit.sh test-no-identity &&
    first=$(git_here rev-parse "$no_id_ref") &&
    "${no_identity[@]}" bash tools/checkout-commit.sh test-no-identity &&
    [ "$(git_here rev-parse "$no_id_ref")" = "$first" ]; then
    pass "checkout-commit.sh as root with no git identity, the same commit twice"
else
    fail "checkout-commit.sh as root with no git identity"
fi

# The user, with sudo for everything and no password, as a sudo user of a fresh machine.
userdel --force --remove "$user" 2>/dev/null || true
useradd --create-home --shell /bin/bash "$user"
echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"/etc/sudoers.d/$user"
chmod 440 "/etc/sudoers.d/$user"
home=$(getent passwd "$user" | cut -d: -f6)

# Its clone of this checkout as it stands (committed with an identity given here, so that the
# checks below run whatever the one above found), with a new file of its own not yet committed.
clone=$home/vantu
GIT_AUTHOR_NAME=test GIT_AUTHOR_EMAIL=test@vantu.invalid GIT_COMMITTER_NAME=test \
    GIT_COMMITTER_EMAIL=test@vantu.invalid bash tools/checkout-commit.sh test-as-user
git -c safe.directory='*' clone --quiet --no-hardlinks --no-checkout "$top" "$clone"
git -c safe.directory='*' -C "$clone" fetch --quiet "$top" "$ref"
git -C "$clone" checkout --quiet --detach FETCH_HEAD
echo "uncommitted $$" >"$clone/uncommitted.txt"
chown -R "$user:" "$clone"

# Runs a shell command as the user in its clone, with a clean environment and no git identity.
as_user() {
    setpriv --reuid="$user" --regid="$user" --init-groups env -i HOME="$home" USER="$user" \
        LOGNAME="$user" LANG=C.UTF-8 PATH=/usr/local/bin:/usr/bin:/bin GIT_CONFIG_NOSYSTEM=1 \
        ${VANTU_TEST_RUN:+VANTU_TEST_RUN=$VANTU_TEST_RUN} ${CI:+CI=$CI} \
        bash -euc 'cd ~/vantu && eval "$1"' as-user "$1"
}
# Whether every file in the user's .git is the user's (names those that are not).
git_is_users() {
    local others
    others=$(find "$clone/.git" ! -user "$user" -printf '%u %p\n' | head -n 5)
    [ -z "$others" ] || { echo "$others" >&2; return 1; }
}

if as_user 'bash tools/checkout-commit.sh mine && git cat-file -e refs/vantu/mine:uncommitted.txt'
then
    pass "checkout-commit.sh as a user with no git identity"
else
    fail "checkout-commit.sh as a user with no git identity"
fi

# Root as under sudo (SUDO_UID: git lets root work in the checkout of the user who ran sudo).
if "${no_identity[@]}" SUDO_UID="$(id -u "$user")" bash "$clone/tools/checkout-commit.sh" by-root &&
    as_user 'git cat-file -e refs/vantu/by-root:uncommitted.txt' && git_is_users; then
    pass "checkout-commit.sh as root in the user's checkout leaves its .git the user's"
else
    fail "checkout-commit.sh as root in the user's checkout: a file in its .git is not the user's"
fi

# install-deps.sh as the user: nothing missing, then one package seen as missing (a dpkg-query
# that denies it), which it installs through sudo (apt finds it already installed).
mkdir "$home/fake-bin"
cat >"$home/fake-bin/dpkg-query" <<'EOF'
#!/bin/sh
case " $* " in *" hyperfine "*) exit 1 ;; esac
exec /usr/bin/dpkg-query "$@"
EOF
chmod 755 "$home/fake-bin/dpkg-query"
if as_user 'bash tools/install-deps.sh >/dev/null' &&
    as_user 'PATH=~/fake-bin:$PATH bash tools/install-deps.sh >/dev/null'; then
    pass "install-deps.sh as a user with sudo"
else
    fail "install-deps.sh as a user with sudo"
fi

if [ "$debian13" = 1 ]; then
    root=$top/build/debian13-root
    made=$(stat -c %Y:%i "$root/.vantu-deps")
    out=$(as_user "VANTU_DEBIAN13_ROOT='$root' bash tools/debian13.sh --run \
        '. /etc/os-release && echo \"\$VERSION_CODENAME\" && cat uncommitted.txt'") || true
    if [ "$out" = "$(printf 'trixie\nuncommitted %s' $$)" ] &&
        [ "$(stat -c %Y:%i "$root/.vantu-deps")" = "$made" ] && git_is_users; then
        pass "debian13.sh as a user with sudo, in the root made before"
    else
        fail "debian13.sh as a user with sudo (printed: $out)"
    fi

    # A root of the user's own, in its user namespace, where the system allows it.
    subuid=$(awk -F: -v n="$user" '$1 == n { print $2; exit }' /etc/subuid)
    if [ -n "$subuid" ] && as_user 'unshare --map-auto --setuid 0 --setgid 0 true' 2>/dev/null
    then
        bare=$home/bare-root
        printf '#!/bin/sh\n# installs nothing\n' >"$clone/tools/install-deps.sh"
        run_bare="VANTU_DEBIAN13_ROOT='$bare' bash tools/debian13.sh --run 'cat uncommitted.txt'"
        if [ "$(as_user "$run_bare" | tail -n 1)" = "uncommitted $$" ] &&
            [ "$(stat -c %u "$bare/etc")" = "$subuid" ]; then
            pass "debian13.sh makes and enters a root in the user's namespace"
        else
            fail "debian13.sh in the user's namespace: $(stat -c %U "$bare/etc" 2>&1)"
        fi
        echo '# changed' >>"$clone/tools/install-deps.sh"
        before=$(stat -c %i "$bare/etc")
        if [ "$(as_user "$run_bare" | tail -n 1)" = "uncommitted $$" ] &&
            [ "$(stat -c %i "$bare/etc")" != "$before" ] &&
            [ "$(stat -c %u "$bare/etc")" = "$subuid" ]; then
            pass "debian13.sh makes the user's root anew when install-deps.sh changes"
        else
            fail "debian13.sh did not make the user's root anew"
        fi
    else
        echo "test-as-user: skipped: user namespaces (not allowed here)"
    fi
fi

exit "$failed"
