# shellcheck shell=bash
# One run at a time in a checkout: the tools that build, commit to private refs or make the
# Debian 13 root (tools/test.sh, debian13.sh, reproducible.sh, test-as-user.sh) source this file
# and call
#
#   hold_checkout_lock "$@"
#
# first, before they change folder. It runs the script again under flock on the checkout's
# build/.tools.lock, or stops at once with a message when another run holds it. The lock belongs
# to the flock process alone (the script does not inherit the descriptor), so a Wine session or
# an X server that a run leaves to end by itself never holds it, and it goes with that process,
# also when the run is killed. A tool that another tool of the same run starts
# (VANTU_CHECKOUT_LOCK names the checkout) runs on at once.
hold_checkout_lock() {
    local top lock
    top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    lock=$top/build/.tools.lock
    [ "${VANTU_CHECKOUT_LOCK:-}" != "$top" ] || return 0
    mkdir -p "$top/build"
    if ! flock --nonblock "$lock" true; then
        echo "$(basename "$0"): another run of the tools is going on in $top (it holds" \
            "$lock); wait for it to end, or stop it" >&2
        exit 75
    fi
    export VANTU_CHECKOUT_LOCK=$top
    exec flock --nonblock --close --conflict-exit-code 75 "$lock" bash "$(realpath "$0")" "$@"
}
