#!/usr/bin/env bash
# Ends a Wine session of tools/wine-prefix.sh (its wineserver, every Wine program in it, and its
# Xvfb) once nobody has used it for LINGER seconds. tools/wine-prefix.sh starts it with each new
# session, detached (setsid, no inherited descriptors):
#
#   tools/wine-session-keeper.sh PREFIX DISPLAY XVFB_PID LINGER
#
# Whoever uses the session holds a shared lock on PREFIX.users while it runs (see
# tools/wine-prefix.sh) and appends a line to it when it joins. The keeper waits until no lock
# is held, then for LINGER seconds in which nobody joined, and ends the session holding
# PREFIX.lock, so that nobody can join between its last look and the end. The session's
# wineserver has no timeout of its own: it used to end LINGER seconds after its last Wine
# program, which could fall just after a test had been given the session's display and before
# its first program started, and that program then started a new wineserver on an X server
# that was gone.
#
# The session also ends when its wineserver ends some other way (wineserver -k): the Xvfb goes
# with it and the session's record (PREFIX/.vantu-session) is removed, unless a newer session
# has replaced it meanwhile.
set -uo pipefail
[ $# -eq 4 ] || {
    echo "usage: wine-session-keeper.sh PREFIX DISPLAY XVFB_PID LINGER" >&2
    exit 2
}
prefix=$1 display=$2 xvfb=$3 linger=$4
# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wine_env "$prefix"
readonly session=$prefix/.vantu-session me="$display $xvfb $$"

ours() { [ "$(cat "$session" 2>/dev/null)" = "$me" ]; }
joins() { stat -c %s "$prefix.users" 2>/dev/null || echo 0; }

# Ends the wineserver once nobody has used the session for LINGER seconds.
end_when_idle() {
    local seen idle
    exec 8>>"$prefix.users" 9>>"$prefix.lock"
    while true; do
        # Returns once the last user has let go.
        flock -x 8 && flock -u 8
        seen=$(joins) idle=0
        while [ "$idle" -lt "$linger" ]; do
            sleep 1
            idle=$((idle + 1))
            if ! flock -x -n 8; then
                continue 2 # a user came: wait for it to let go
            fi
            flock -u 8
            # One that came and went within the second still counts.
            [ "$(joins)" = "$seen" ] || seen=$(joins) idle=0
        done
        flock 9
        ours || exit 0
        if flock -x -n 8 && [ "$(joins)" = "$seen" ]; then
            wineserver -k 8>&- 9>&-
            end_display
            exit 0
        fi
        flock -u 8
        flock -u 9
    done
}

# Ends the Xvfb and removes the session's record; the caller holds PREFIX.lock.
end_display() {
    kill "$xvfb" 2>/dev/null
    ! ours || rm -f -- "$session"
    # The prefix's users start anew with the next session.
    : >"$prefix.users"
}

end_when_idle &
# Returns when the wineserver has ended, by end_when_idle or by anyone else.
wineserver -w
# end_when_idle and what it waits in (flock, sleep) go: the keeper leads a process group of its
# own (setsid), and only it ignores the signal.
trap '' TERM
kill -TERM -- "-$$" 2>/dev/null
wait
exec 9>>"$prefix.lock"
flock 9
if ours; then
    end_display
else
    # A newer session in its place, or the prefix made again: only this session's Xvfb goes.
    kill "$xvfb" 2>/dev/null
fi
