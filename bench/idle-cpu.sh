#!/usr/bin/env bash
# What the launcher costs while it waits for the player: its CPU time over SECONDS of idling
# with its window open and active, and no pad connected.
#
#   bench/idle-cpu.sh [-t SECONDS] [-n ROUNDS] [LAUNCHER]
#
# LAUNCHER (default build/release/vantu-launcher) runs on a private Xvfb without a window
# manager, in a copy of the demo game's folder, with no sound device. A LAUNCHER ending in .exe
# runs under Wine (tools/wine-run.sh, in the Windows build's prefix), and the Wine process that
# runs it is measured. Each round waits 3 s for the start-up to settle, then reads the CPU time
# of the process's threads (/proc/PID/task/*/schedstat) at the start and the end of SECONDS
# (default 30).
# It prints each round's CPU milliseconds and their median, and asserts nothing.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tools/xvfb.sh
source "$repo/tools/xvfb.sh"
seconds=30 rounds=3
while getopts "t:n:" opt; do
    case "$opt" in
        t) seconds=$OPTARG ;;
        n) rounds=$OPTARG ;;
        *) echo "usage: $0 [-t SECONDS] [-n ROUNDS] [LAUNCHER]" >&2; exit 1 ;;
    esac
done
shift $((OPTIND - 1))
launcher=$(realpath "${1:-$repo/build/release/vantu-launcher}")
[ -x "$launcher" ] || [ -f "$launcher" ] || { echo "no launcher at $launcher" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vantu-idle.XXXXXX")
pid=""
prefix=$repo/build/windows/wine-prefix-bench
cleanup() {
    [ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true
    # Under Wine, the session's wineserver and Xvfb end with it.
    [[ "$launcher" != *.exe ]] || WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
xvfb_start "$work/xvfb" 1024x768x24 || exit 1
export DISPLAY=$XVFB_DISPLAY XAUTHORITY=/dev/null
cp -r "$repo/demo/." "$work/game"

# The CPU time of process $1's threads in milliseconds: the time on a CPU that the scheduler
# counts in nanoseconds (schedstat), not stat's user and system time in 10 ms clock ticks.
cpu_ms() {
    cat "/proc/$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.1f\n", ns / 1e6 }'
}

# The process to measure: the launcher itself, or under Wine the process running the .exe.
start() {
    if [[ "$launcher" == *.exe ]]; then
        cp "$launcher" "$work/game/"
        (cd "$work/game" && exec bash "$repo/tools/wine-run.sh" --prefix "$prefix" \
            "$(basename "$launcher")") \
            >"$work/launcher.log" 2>&1 &
        local i
        for ((i = 0; i < 300; i++)); do
            pid=$(pgrep -f "$(basename "$launcher")\$" | head -n 1 || true)
            [ -z "$pid" ] || return 0
            sleep 0.1
        done
        echo "the launcher did not start under Wine" >&2
        exit 1
    fi
    (cd "$work/game" && SDL_AUDIODRIVER=dummy exec "$launcher") >"$work/launcher.log" 2>&1 &
    pid=$!
}

results=()
for ((round = 1; round <= rounds; round++)); do
    start
    sleep 3
    before=$(cpu_ms "$pid")
    sleep "$seconds"
    after=$(cpu_ms "$pid")
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # Under Wine it is no child of this script: wait until it is gone before the next round.
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
    pid=""
    used=$(awk -v a="$after" -v b="$before" 'BEGIN { printf "%.1f", a - b }')
    results+=("$used")
    echo "round $round: $used ms of CPU in $seconds s idle"
done
printf '%s\n' "${results[@]}" | sort -n |
    awk -v s="$seconds" '{ v[NR] = $1 } END { print "median: " v[int((NR + 1) / 2)] " ms of CPU in " s " s idle" }'
