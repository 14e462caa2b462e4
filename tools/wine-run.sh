#!/usr/bin/env bash
# Runs a Windows program under Wine, in a private prefix made on first use and in its session
# with its own Xvfb (see tools/wine-prefix.sh), and exits with the program's status.
#
#   tools/wine-run.sh [--prefix DIR] [--] PROGRAM [ARG...]
#
#   --prefix DIR   the Wine prefix; without it $WINEPREFIX, which must then be set: the user's
#                  ~/.wine is never used
#
# The program sees DISPLAY set to the session's Xvfb, whether it opens windows or not; to look
# at that display from Linux (xwininfo, xwd, import), take the display that
# "tools/wine-prefix.sh DIR" prints. ctest runs the Windows tests through this script (see
# cmake/mingw-w64-x86_64-posix.cmake).
#
# The script is the program's user of the session (see tools/wine-prefix.sh): it holds
# PREFIX.users open until the program ends, so it waits for the program rather than becoming
# it, and passes on its standard input, the signals that end it and its exit status. The program
# gets no descriptor 8, or Wine's background services it starts would hold the session for
# ever.
set -euo pipefail

die() {
    echo "wine-run: $*" >&2
    exit 125
}

tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
source "$tools/wine-env.sh"
prefix=${WINEPREFIX:-}
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix)
            [ $# -ge 2 ] || die "--prefix needs a folder"
            prefix=$2
            shift 2
            ;;
        --)
            shift
            break
            ;;
        -*) die "unknown option: $1" ;;
        *) break ;;
    esac
done
[ $# -ge 1 ] || die "usage: wine-run.sh [--prefix DIR] [--] PROGRAM [ARG...]"
[ -n "$prefix" ] || die "no prefix: give --prefix DIR or set WINEPREFIX"

prefix=$(realpath -m -- "$prefix")
mkdir -p "$(dirname "$prefix")"
exec 8>>"$prefix.users"
display=$(bash "$tools/wine-prefix.sh" "$prefix") || die "no usable Wine prefix at $prefix"
wine_env "$prefix" "$display"
# A program started with & reads /dev/null unless told otherwise.
exec {input}<&0
wine "$@" <&"$input" {input}<&- 8>&- &
program=$!
exec {input}<&-
for signal in HUP INT TERM; do
    # shellcheck disable=SC2064  # the signal is meant to be expanded now
    trap "kill -$signal $program 2>/dev/null" "$signal"
done
# wait returns early when a signal comes; the program's own status comes once it has ended.
status=0
while true; do
    wait "$program" && status=0 || status=$?
    kill -0 "$program" 2>/dev/null || break
done
exit "$status"
