#!/usr/bin/env bash
# Finds the processes a test run left running. tools/test.sh uses it around the whole run.
#
#   tools/leftover-processes.sh snapshot >FILE   what runs now ("pid start-time" a line)
#   tools/leftover-processes.sh check FILE       fails when a process of the run still runs
#
# A process of the run: one whose environment holds VANTU_TEST_RUN with this run's value (the
# run exports it, and the end-to-end tests hand it on to the launcher and so to the game), or
# a program of this checkout that was not running at the snapshot, so a launcher the user had
# open before is not counted. Zombies and the checker's own processes do not count.
#
# check waits up to 5 s for them to end, and while the run's Wine sessions linger (their keeper,
# tools/wine-session-keeper.sh, ends each ${VANTU_WINESERVER_LINGER:-30} s after its last user,
# by design) up to that long and 15 s more. What is left then is listed, and the status is 1.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# "pid start-time" of every process (start-time: field 22 of /proc/PID/stat).
snapshot() {
    local stat line fields
    for stat in /proc/[0-9]*/stat; do
        { read -r line <"$stat"; } 2>/dev/null || continue
        read -ra fields <<<"${line##*) }"
        echo "${line%% *} ${fields[19]}"
    done
}

# The checker's own processes (its children, their children): never leftovers. Orphans may be
# handed to a subreaper among the checker's ancestors (systemd --user), so only the checker
# itself is the mark, not its ancestors.
is_own() {
    local pid=$1 ppid
    while [ "$pid" -gt 1 ]; do
        [ "$pid" != $$ ] || return 0
        ppid=$(awk '/^PPid:/ { print $2 }' "/proc/$pid/status" 2>/dev/null) || return 1
        pid=${ppid:-1}
    done
    return 1
}

# The process ids of the run's leftovers, one a line.
leftovers() {
    local before=$1 pid state start line fields
    {
        if [ -n "${VANTU_TEST_RUN:-}" ]; then
            { grep -lzxF -- "VANTU_TEST_RUN=$VANTU_TEST_RUN" /proc/[0-9]*/environ 2>/dev/null ||
                true; } | cut -d/ -f3
        fi
        { find /proc/[0-9]*/exe -maxdepth 0 -printf '%p %l\n' 2>/dev/null || true; } |
            LC_ALL=C awk -v build="$root/build/" '
                { target = substr($0, length($1) + 2) }
                index(target, build) == 1 { split($1, path, "/"); print path[3] }'
    } | sort -un | while read -r pid; do
        { read -r line <"/proc/$pid/stat"; } 2>/dev/null || continue
        read -ra fields <<<"${line##*) }"
        state=${fields[0]} start=${fields[19]}
        case "$state" in Z | X) continue ;; esac
        grep -qx "$pid $start" "$before" && continue
        is_own "$pid" && continue
        echo "$pid"
    done
}

check() {
    local before=$1 found started=$SECONDS limit=5 pid
    [ -r "$before" ] || {
        echo "leftover-processes: no snapshot at '$before'" >&2
        exit 2
    }
    while true; do
        found=$(leftovers "$before")
        [ -n "$found" ] || return 0
        for pid in $found; do
            case "$(readlink "/proc/$pid/exe" 2>/dev/null) $(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline")" in
                */wine* | *wine-session-keeper*) limit=$((${VANTU_WINESERVER_LINGER:-30} + 15)) ;;
            esac
        done
        [ $((SECONDS - started)) -lt "$limit" ] || break
        sleep 1
    done
    echo "leftover-processes: the test run left these processes running:" >&2
    ps -o pid=,ppid=,etime=,args= -p "$(paste -sd, <<<"$found")" >&2 || true
    echo "leftover-processes: $(wc -l <<<"$found") left; end them with: kill $(paste -sd' ' <<<"$found")" >&2
    return 1
}

case "${1:-}" in
    snapshot) snapshot ;;
    check) check "${2:-}" ;;
    *)
        echo "usage: leftover-processes.sh snapshot >FILE | check FILE" >&2
        exit 2
        ;;
esac
