#!/usr/bin/env bash
# Installs what is missing, builds the launcher and runs every test: once in a Release build,
# once in a Debug build under AddressSanitizer and UndefinedBehaviorSanitizer, and once in a
# Windows build (MinGW-w64) run under Wine, in a Wine prefix the tests make in build/windows,
# and once as short runs of the libFuzzer targets (clang, sanitizers). The default run then
# builds the Linux program, its package, its portable bundle and the Windows program twice, in
# two clones, and checks that they are the same bytes and hardened (tools/reproducible.sh).
#
#   tools/test.sh [STEP...]       the steps, in this order: the presets release, asan, windows
#                                 and fuzz; bundle; reproducible; debian13; as-user. Default:
#                                 all of them (bundle and debian13 on Debian 12 only)
#   tools/test.sh --quick         the quick loop while working: the release preset's build and
#                                 tests only; nothing installed, no reproducibility builds, no
#                                 Debian 13 root, no run as another user
#
# bundle: the portable bundle of the release build, run in a minimal Debian 13 root without Qt
# (tools/bundle-test.sh); it needs root, and runs through sudo when the run is not root's.
# debian13: the Release and Windows builds' tests run again in a Debian 13 root
# (tools/debian13.sh), which is made meanwhile, in the background, while this machine builds.
# On Debian 13 itself the presets run natively, like on Debian 12.
# as-user: the tools, and the tests that depend on who runs them, as users of a fresh machine,
# made in a namespace that goes with the step (tools/test-as-user.sh); it needs root, and runs
# through sudo when the run is not root's.
#
# Run by a user, the run asks for sudo's password at most once, at its start, in the
# foreground, and only when a step will need sudo (missing packages, a Debian 13 root that no
# user namespace can make, as-user); it then keeps sudo's ticket fresh until it ends, so no step,
# in the background or hours later, asks again.
#
# One run at a time in a checkout (tools/checkout-lock.sh). At the end, whatever the outcome, it
# fails when a process the run started still runs (see tools/leftover-processes.sh): every
# process of the run carries VANTU_TEST_RUN.
set -euo pipefail
# shellcheck source=checkout-lock.sh
source "$(dirname "$0")/checkout-lock.sh"
hold_checkout_lock "$@"
cd "$(dirname "$0")/.."

quick=0 presets=() bundle=0 reproducible=0 debian13=0 as_user=0
if [ "${1:-}" = --quick ]; then
    [ $# -eq 1 ] || { echo "usage: tools/test.sh --quick, or tools/test.sh [STEP...]" >&2; exit 2; }
    quick=1
    set -- release
    echo "test: quick: the release preset only; no packages installed, no reproducibility" \
        "builds, no Debian 13 root, no run as another user (bash tools/test.sh runs them all)"
elif [ $# -eq 0 ]; then
    set -- release asan windows fuzz reproducible as-user
    # The portable bundle is made of Debian 12's libraries (Debian 13's need a newer glibc than
    # it promises), and tested in a Debian 13 root.
    # shellcheck source=/dev/null
    [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != bookworm ] ||
        set -- "$@" bundle debian13
fi
for step; do
    case $step in
        release | asan | windows | fuzz) presets+=("$step") ;;
        bundle) bundle=1 ;;
        reproducible) reproducible=1 ;;
        debian13) debian13=1 ;;
        as-user) as_user=1 ;;
        *) echo "test: no step $step (steps: release asan windows fuzz bundle reproducible debian13" \
            "as-user)" >&2; exit 2 ;;
    esac
done
[ "$quick" = 1 ] || bash tools/install-deps.sh

VANTU_TEST_RUN="$(date +%s%N)-$$"
export VANTU_TEST_RUN
before=$(mktemp)
bash tools/leftover-processes.sh snapshot >"$before"
# Who may do what on this machine, which the run must leave as it found it (it makes its users
# in namespaces of their own).
access() {
    sha256sum /etc/passwd /etc/group /etc/shadow /etc/gshadow /etc/subuid /etc/subgid 2>/dev/null
    find /etc/sudoers /etc/sudoers.d -printf '%p %s %T@\n' 2>/dev/null
}
access_before=$(access)
root_maker="" bundle_root_maker="" sudo_keeper=""
# A job in a process group of its own, on the run's terminal (sudo's ticket is the terminal's),
# ended with its whole group at the end of the run; its process id goes into variable $1.
start_job() {
    set -m
    "${@:2}" </dev/null &
    set +m
    printf -v "$1" %s $!
}
end_job() {
    [ -n "$1" ] && kill -0 "$1" 2>/dev/null || return 0
    kill -TERM -- "-$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
# Waits for the job whose process id is in variable $1; when it failed, shows the end of its
# log $2 and ends the run with its status.
finish_job() {
    local -n job=$1
    local status=0
    wait "$job" || status=$?
    job=""
    [ "$status" -eq 0 ] || { tail -n 40 "$2"; exit "$status"; }
}
end_of_run() {
    local status=$?
    end_job "$root_maker"
    end_job "$bundle_root_maker"
    end_job "$sudo_keeper"
    bash tools/leftover-processes.sh check "$before" || status=1
    if [ "$(access)" != "$access_before" ]; then
        echo "test: the run changed the machine's users or rights:" >&2
        diff <(echo "$access_before") <(access) >&2
        status=1
    fi
    rm -f "$before"
    exit "$status"
}
trap end_of_run EXIT
trap 'exit 130' INT TERM

# Sudo, asked for once, now, when a step will need it.
as_root=()
if [ "$(id -u)" -ne 0 ] && { [ "$as_user" = 1 ] || [ "$bundle" = 1 ] ||
    { [ "$debian13" = 1 ] && bash tools/debian13.sh --needs-sudo; }; }; then
    command -v sudo >/dev/null || { echo "test: the steps chosen need root, and there is no sudo" >&2; exit 1; }
    if ! sudo -n true 2>/dev/null; then
        [ -t 0 ] || { echo "test: the steps chosen need sudo, which asks for a password, and" \
            "there is no terminal to ask on: run tools/test.sh from a terminal" >&2; exit 1; }
        echo "test: the Debian 13 root or the run as another user needs sudo: asked once, now"
        sudo -v
    fi
    export VANTU_SUDO_ASKED=1
    start_job sudo_keeper bash -c 'while sleep 50; do sudo -n -v || exit; done' \
        >/dev/null 2>&1
    as_root=(sudo -n)
fi

if [ "$debian13" = 1 ]; then
    mkdir -p build
    echo "test: making the Debian 13 root in the background (log: build/debian13-root.log)"
    start_job root_maker bash tools/debian13.sh --root-only >build/debian13-root.log 2>&1
fi
if [ "$bundle" = 1 ]; then
    mkdir -p build
    echo "test: making the bundle's root in the background (log: build/bundle-root.log)"
    start_job bundle_root_maker bash tools/bundle-test.sh --root-only >build/bundle-root.log 2>&1
fi
jobs=$(nproc)
times=()
for preset in "${presets[@]}"; do
  started=$SECONDS
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
  times+=("$preset passed in $((SECONDS - started)) s")
done
if [ "$bundle" = 1 ]; then
    started=$SECONDS
    finish_job bundle_root_maker build/bundle-root.log
    bash tools/bundle-test.sh
    times+=("the portable bundle passed in $((SECONDS - started)) s")
fi
if [ "$reproducible" = 1 ]; then
    started=$SECONDS
    bash tools/reproducible.sh
    times+=("reproducible builds passed in $((SECONDS - started)) s")
fi
if [ "$debian13" = 1 ]; then
    started=$SECONDS
    finish_job root_maker build/debian13-root.log
    bash tools/debian13.sh release windows
    times+=("Debian 13 (release, windows) passed in $((SECONDS - started)) s")
fi
if [ "$as_user" = 1 ]; then
    started=$SECONDS
    # (With the Debian 13 root of this run; the run's mark and lock passed on through sudo.)
    args=()
    [ "$debian13" = 0 ] || args=(--debian13)
    "${as_root[@]}" env VANTU_TEST_RUN="$VANTU_TEST_RUN" VANTU_CHECKOUT_LOCK="$PWD" \
        bash tools/test-as-user.sh "${args[@]}"
    times+=("the tools and tests as other users passed in $((SECONDS - started)) s")
fi
printf 'test: %s\n' "${times[@]}"
[ "$quick" = 0 ] || echo "test: quick run only: bash tools/test.sh is the whole check"
