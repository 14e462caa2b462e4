#!/usr/bin/env bash
# Runs the tools, and the tests whose outcome depends on who runs them, as they run on a fresh
# machine: with no git identity, as a user whose sudo asks for no password and who has a range
# of subordinate ids, and as a user whose sudo asks for a password and who has none, each in a
# clone of its own under a path with blanks. tools/test.sh runs it as its step as-user.
#
#   tools/test-as-user.sh [--debian13]     (as root)
#
# The users exist only in here. The script runs in a mount and PID namespace of its own, with a
# private copy of /etc (the users' accounts, sudo rules and subordinate ids), and the users'
# homes, sudo's tickets and its scratch folder on memory file systems. However it ends, also by SIGKILL, the
# kernel then ends every process in it and drops those mounts: the machine's own users and
# rights are never changed, and nothing that grants access outlives the run.
#
# It checks that
#  - tools/checkout-commit.sh commits with no git identity, as root and as a user, and the same
#    checkout twice gives the same commit; run as root in the user's checkout, it leaves nothing
#    in that .git that is not the user's and gives back what another run left there as root; run
#    by the user on such a .git, it stops with the command that mends it;
#  - as a user with sudo, tools/install-deps.sh succeeds, also when a package is missing;
#  - as a user whose sudo asks for a password, tools/test.sh asks for it once, in the
#    foreground, and its background work uses sudo without asking (its tools/debian13.sh
#    replaced by one that calls sudo where the real one does);
#  - with --debian13 (after the Debian 13 step, on Debian 12): as that user, tools/debian13.sh
#    runs a command in the Debian 13 root of this checkout, through sudo, asking once, without
#    making the root again, on the user's checkout as it stands, and leaves the user's .git the
#    user's; and the user with subordinate ids makes and enters a root of its own in its user
#    namespace without root (a bare one: its install-deps.sh is replaced by one that installs
#    nothing), and makes it anew when that script changes;
#  - as a user, the release build's tests pass (a copy of build/release, seen at its own path;
#    VANTU_AS_USER_CTEST=REGEX runs only the tests it matches, while working on this script).
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "test-as-user: needs root (it makes users)" >&2; exit 2; }
# shellcheck source=checkout-lock.sh
source "$(dirname "$0")/checkout-lock.sh"
hold_checkout_lock "$@"
cd "$(dirname "$0")/.."
top=$PWD
if [ "${VANTU_AS_USER_NAMESPACE:-}" != "$$" ]; then
    # PID 1 of the new namespace is the script again; --kill-child ends it when unshare goes.
    exec unshare --mount --pid --fork --kill-child --mount-proc --propagation private \
        bash -c 'VANTU_AS_USER_NAMESPACE=$$ exec bash "$@"' as-user "$0" "$@"
fi
debian13=0
[ "${1:-}" != --debian13 ] || debian13=1
readonly sudoer=vantu-sudo-test asker=vantu-password-test prompt="vantu-test sudo password:"
readonly refs=(refs/vantu/test-as-user refs/vantu/test-no-identity)

failed=0
pass() { echo "test-as-user: ok: $*"; }
fail() {
    echo "test-as-user: FAILED: $*" >&2
    failed=1
}

# Git in this checkout as its owner: root writes nothing into another user's .git either.
git_here() {
    setpriv --reuid="$(stat -c %u "$top")" --regid="$(stat -c %g "$top")" --clear-groups \
        env HOME=/nonexistent git -C "$top" "$@"
}

scratch=$(mktemp -d /tmp/vantu-as-user.XXXXXX)
end() {
    local ref
    for ref in "${refs[@]}"; do git_here update-ref -d "$ref" 2>/dev/null || true; done
    umount --lazy "$scratch" 2>/dev/null
    rmdir "$scratch"
}
trap end EXIT
trap 'exit 130' INT TERM

# The private machine: /etc copied, the users' homes, sudo's tickets and the scratch folder in
# memory.
mount -t tmpfs -o mode=755 vantu-as-user "$scratch"
readonly etc=$scratch/etc # /etc in here
cp -a /etc "$etc"
mount --bind "$etc" /etc
mkdir "$scratch/home"
mkdir -p /run/sudo
mount -t tmpfs -o mode=711 vantu-sudo /run/sudo

# A user of its own group with a locked password, a home and a clone of this checkout as it
# stands in "~/my games/vantu", with a new file not yet committed.
next_id=$(awk -F: '$3 >= 60000 && $3 < 65000 { if ($3 >= n) n = $3 + 1 } END { print n ? n : 60000 }' \
    "$etc/passwd" "$etc/group")
add_user() {
    local name=$1 id=$((next_id++))
    local home=$scratch/home/$name
    echo "$name:x:$id:$id::$home:/bin/bash" >>"$etc/passwd"
    echo "$name:x:$id:" >>"$etc/group"
    echo "$name:!:20000:0:99999:7:::" >>"$etc/shadow"
    echo "$name:!::" >>"$etc/gshadow"
    local clone="$home/my games/vantu"
    git -c safe.directory='*' clone --quiet --no-hardlinks --no-checkout "$top" "$clone"
    git -c safe.directory='*' -C "$clone" fetch --quiet "$top" refs/vantu/test-as-user
    git -C "$clone" checkout --quiet --detach FETCH_HEAD
    echo "uncommitted $$" >"$clone/uncommitted.txt"
    chown -R "$name:" "$home"
}

# Runs a shell command as user $1 in its clone, with a clean environment and no git identity.
as_user() {
    setpriv --reuid="$1" --regid="$1" --init-groups env -i HOME="$scratch/home/$1" USER="$1" \
        LOGNAME="$1" LANG=C.UTF-8 PATH=/usr/local/bin:/usr/bin:/bin GIT_CONFIG_NOSYSTEM=1 \
        SUDO_PROMPT="$prompt" ${VANTU_TEST_RUN:+VANTU_TEST_RUN=$VANTU_TEST_RUN} ${CI:+CI=$CI} \
        bash -euc 'cd ~/"my games/vantu" && eval "$1"' as-user "$2"
}
# Runs a shell command as user $1 on a terminal of its own, on which every sudo prompt is answered
# with the user's password; prints what appeared there (line ends made plain), then
# "prompts: N", and returns the command's status.
readonly password=$(head -c 12 /dev/urandom | base64)
cat >"$scratch/terminal.py" <<'EOF'
import os, pty, sys
prompt, password = sys.argv[1].encode(), sys.argv[2].encode() + b"\n"
pid, fd = pty.fork()
if pid == 0:
    os.execvp(sys.argv[3], sys.argv[3:])
shown, prompts = b"", 0
while True:
    try:
        data = os.read(fd, 4096)
    except OSError:
        break
    if not data:
        break
    shown += data
    while shown.count(prompt) > prompts:
        prompts += 1
        os.write(fd, password)
sys.stdout.write(shown.decode(errors="replace").replace("\r", "").replace(password.decode(), ""))
print(f"prompts: {prompts}")
sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))
EOF
on_terminal() {
    as_user "$1" "python3 $scratch/terminal.py '$prompt' '$password' bash -c $(printf %q "$2")"
}
# Whether every file in the .git of user $1's clone is the user's (names those that are not).
git_is_users() {
    local others
    others=$(find "$scratch/home/$1/my games/vantu/.git" ! -user "$1" -printf '%u %p\n' | head -n 5)
    [ -z "$others" ] || { echo "$others" >&2; return 1; }
}

# Git with no identity: a home of its own, no global or system settings, none in the environment.
no_identity=(env -u EMAIL -u GIT_AUTHOR_NAME -u GIT_AUTHOR_EMAIL -u GIT_COMMITTER_NAME
    -u GIT_COMMITTER_EMAIL HOME="$scratch" GIT_CONFIG_GLOBAL=/dev/null GIT_CONFIG_NOSYSTEM=1)

# As root with no identity, twice: the same commit.
if "${no_identity[@]}" bash tools/checkout-commit.sh test-no-identity &&
    first=$(git_here rev-parse refs/vantu/test-no-identity) &&
    "${no_identity[@]}" bash tools/checkout-commit.sh test-no-identity &&
    [ "$(git_here rev-parse refs/vantu/test-no-identity)" = "$first" ]; then
    pass "checkout-commit.sh as root with no git identity, the same commit twice"
else
    fail "checkout-commit.sh as root with no git identity"
fi

# The users, their sudo and the subordinate ids of the first, beyond any range in use. The clones
# come from a commit made with an identity given here, so that the checks below run whatever the
# one above found.
GIT_AUTHOR_NAME=test GIT_AUTHOR_EMAIL=test@vantu.invalid GIT_COMMITTER_NAME=test \
    GIT_COMMITTER_EMAIL=test@vantu.invalid bash tools/checkout-commit.sh test-as-user
add_user "$sudoer"
add_user "$asker"
# (chpasswd writes the namespace's /etc: the private copy.)
echo "$asker:$password" | chpasswd
printf '%s ALL=(ALL:ALL) NOPASSWD: ALL\n%s ALL=(ALL:ALL) ALL\n' "$sudoer" "$asker" \
    >"$etc/sudoers.d/vantu-test"
chmod 440 "$etc/sudoers.d/vantu-test"
subid=$(cat "$etc/subuid" "$etc/subgid" 2>/dev/null |
    awk -F: '{ if ($2 + $3 > n) n = $2 + $3 } END { print (n > 100000 ? n : 100000) }')
echo "$sudoer:$subid:65536" >>"$etc/subuid"
echo "$sudoer:$subid:65536" >>"$etc/subgid"

if as_user "$sudoer" 'bash tools/checkout-commit.sh mine && git cat-file -e refs/vantu/mine:uncommitted.txt'
then
    pass "checkout-commit.sh as a user with no git identity"
else
    fail "checkout-commit.sh as a user with no git identity"
fi

# A root-owned ref in the user's .git, as an older version of the tools left through sudo: the
# user is told the command that mends it; root gives it back (run as under sudo: SUDO_UID lets
# root's git work in the user's checkout).
sudoer_git="$scratch/home/$sudoer/my games/vantu/.git"
touch "$sudoer_git/refs/vantu/left-by-root"
said=$(as_user "$sudoer" 'bash tools/checkout-commit.sh mine 2>&1') && fail "a root-owned file in .git went unnoticed"
if [[ "$said" == *"sudo chown -R $sudoer: "* ]] && [ "$(wc -l <<<"$said")" -eq 1 ]; then
    pass "checkout-commit.sh as a user names the fix for a root-owned file in its .git"
else
    fail "checkout-commit.sh as a user on a root-owned file in its .git said: $said"
fi
if "${no_identity[@]}" SUDO_UID="$(id -u "$sudoer")" \
    bash "$scratch/home/$sudoer/my games/vantu/tools/checkout-commit.sh" by-root &&
    as_user "$sudoer" 'git cat-file -e refs/vantu/by-root:uncommitted.txt' &&
    git_is_users "$sudoer"; then
    pass "checkout-commit.sh as root in the user's checkout leaves its .git the user's"
else
    fail "checkout-commit.sh as root in the user's checkout: a file in its .git is not the user's"
fi

# install-deps.sh as the user: nothing missing, then one package seen as missing (a dpkg-query
# that denies it), which it installs through sudo (apt finds it already installed).
mkdir "$scratch/home/$sudoer/fake-bin"
cat >"$scratch/home/$sudoer/fake-bin/dpkg-query" <<'EOF'
#!/bin/sh
case " $* " in *" hyperfine "*) exit 1 ;; esac
exec /usr/bin/dpkg-query "$@"
EOF
chmod 755 "$scratch/home/$sudoer/fake-bin/dpkg-query"
if as_user "$sudoer" 'bash tools/install-deps.sh >/dev/null' &&
    as_user "$sudoer" 'PATH=~/fake-bin:$PATH bash tools/install-deps.sh >/dev/null'; then
    pass "install-deps.sh as a user with sudo"
else
    fail "install-deps.sh as a user with sudo"
fi

# tools/test.sh's use of sudo, with a password: its debian13.sh replaced by one that needs sudo to
# make the root (in the background) and to run the tests in it.
asker_clone="$scratch/home/$asker/my games/vantu"
cat >"$asker_clone/tools/debian13.sh" <<'EOF'
#!/usr/bin/env bash
case ${1:-} in
    --needs-sudo) exit 0 ;;
    --root-only) sleep 1 && sudo true && echo "root made" >>~/debian13.log ;;
    *) sudo true && echo "tests run in the root: $*" >>~/debian13.log ;;
esac
EOF
out=$(on_terminal "$asker" 'bash tools/test.sh debian13' 2>&1) || true
if [[ "$out" == *"prompts: 1" ]] && [ "$(cat "$scratch/home/$asker/debian13.log" 2>&1)" = \
    "$(printf 'root made\ntests run in the root: release windows')" ]; then
    pass "test.sh as a user whose sudo asks for a password: asked once, at the start"
else
    fail "test.sh as a user whose sudo asks for a password: $(tail -n 8 <<<"$out")"
fi
as_user "$asker" 'git checkout --quiet tools/debian13.sh'

if [ "$debian13" = 1 ]; then
    # This checkout's root, where the user may reach it (the checkout may lie in a folder that
    # only its owner may enter).
    root="$scratch/home/$asker/debian13 root"
    mkdir "$root"
    mount --bind "$top/build/debian13-root" "$root"
    made=$(stat -c %Y:%i "$root/.vantu-deps")
    out=$(on_terminal "$asker" "VANTU_DEBIAN13_ROOT='$root' bash tools/debian13.sh --run \
        '. /etc/os-release && echo \"\$VERSION_CODENAME\" && cat uncommitted.txt'" 2>&1) || true
    if [ "$(tail -n 3 <<<"$out")" != "$(printf 'trixie\nuncommitted %s\nprompts: 1' $$)" ]; then
        fail "debian13.sh as a user whose sudo asks for a password printed: $(tail -n 8 <<<"$out" | cat -A)"
    elif [ "$(stat -c %Y:%i "$root/.vantu-deps")" != "$made" ]; then
        fail "debian13.sh as a user whose sudo asks for a password made the root again"
    elif ! git_is_users "$asker"; then
        fail "debian13.sh as a user whose sudo asks for a password: a file in its .git is not its"
    else
        pass "debian13.sh as a user whose sudo asks for a password, in the root made before"
    fi
    umount "$root"

    # A root of the user's own, in its user namespace.
    if as_user "$sudoer" 'unshare --map-auto --setuid 0 --setgid 0 true' 2>/dev/null; then
        bare="$scratch/home/$sudoer/bare root"
        sudoer_clone="$scratch/home/$sudoer/my games/vantu"
        printf '#!/bin/sh\n# installs nothing\n' >"$sudoer_clone/tools/install-deps.sh"
        run_bare="VANTU_DEBIAN13_ROOT='$bare' bash tools/debian13.sh --run 'cat uncommitted.txt'"
        if [ "$(as_user "$sudoer" "$run_bare" | tail -n 1)" = "uncommitted $$" ] &&
            [ "$(stat -c %u "$bare/etc")" = "$subid" ]; then
            pass "debian13.sh makes and enters a root in the user's namespace"
        else
            fail "debian13.sh in the user's namespace: $(stat -c %U "$bare/etc" 2>&1)"
        fi
        echo '# changed' >>"$sudoer_clone/tools/install-deps.sh"
        before=$(stat -c %i "$bare/etc")
        if [ "$(as_user "$sudoer" "$run_bare" | tail -n 1)" = "uncommitted $$" ] &&
            [ "$(stat -c %i "$bare/etc")" != "$before" ] &&
            [ "$(stat -c %u "$bare/etc")" = "$subid" ]; then
            pass "debian13.sh makes the user's root anew when install-deps.sh changes"
        else
            fail "debian13.sh did not make the user's root anew"
        fi
    else
        echo "test-as-user: skipped: a root in a user namespace (the system allows none)"
    fi
fi

# The release build's tests as a user: a copy of this checkout, its times kept (else the package
# test's cpack would build it all again) and with build/release the only build, made the user's
# and seen at this checkout's path (the build names its folders by it), through folders the user
# may enter (a folder above the checkout may be closed to others, as root's home is).
if [ -f "$top/build/release/CTestTestfile.cmake" ]; then
    copy=$scratch/home/$asker/checkout
    mkdir -p "$copy/build"
    tar -C "$top" --exclude=./build -cf - . | tar -C "$copy" -xf -
    cp -a "$top/build/release" "$copy/build/"
    chown -R "$asker:" "$copy"
    closed="" folder=$top
    while folder=$(dirname "$folder") && [ "$folder" != / ]; do
        [ "$(($(stat -c '0%a' "$folder") & 1))" = 1 ] || closed=$folder
    done
    if [ -n "$closed" ]; then
        mount -t tmpfs -o mode=755 vantu-path "$closed"
        mkdir -p "$top"
    fi
    mount --bind "$copy" "$top"
    if out=$(as_user "$asker" "cd '$top' && ctest --preset release -j$(nproc) ${VANTU_AS_USER_CTEST:+-R '$VANTU_AS_USER_CTEST'} --output-on-failure 2>&1"); then
        pass "the release build's tests as a user: $(grep -o '[0-9]*% tests passed.*' <<<"$out")"
    else
        fail "the release build's tests as a user: $(grep -A20 'tests passed' <<<"$out")"
    fi
else
    echo "test-as-user: skipped: the release build's tests as a user (no build/release)"
fi

exit "$failed"
