#!/usr/bin/env bash
# Checks tools/wine-run.sh and tools/wine-prefix.sh, which every Windows test runs through:
# a lost exit status would let failing tests pass, an output left open would stall ctest, and
# a session begun without a display would keep windows from opening.
#
#   wine_run_test.sh --tools DIR --prefix DIR
#
# It ends the prefix's session to watch a fresh one start, so ctest runs it alone.
# shellcheck source=../support/e2e_common.sh
source "$(dirname "$0")/../support/e2e_common.sh"
# shellcheck source=../../tools/wine-env.sh
source "$(dirname "$0")/../../tools/wine-env.sh"
TOOLS="" PREFIX=""
parse_options tools prefix -- "$@"
[[ -n $TOOLS && -n $PREFIX ]] || { echo "usage: $0 --tools DIR --prefix DIR" >&2; exit 2; }

PIDS=()
end_processes() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
}
start_work vantu-wine-run-test err 20

run() { "$TOOLS/wine-run.sh" --prefix "$PREFIX" -- "$@"; }

# Runs a console program with its output into a pipe, as ctest does, and gives the time until
# the pipe closed, in milliseconds; fails when that takes over two minutes.
piped_run_ms() {
    local start
    start=$(now_us)
    # shellcheck disable=SC2016  # expanded by the inner shell
    timeout 120 bash -c '"$1/wine-run.sh" --prefix "$2" -- cmd /c exit 0 | cat' _ "$TOOLS" "$PREFIX" ||
        return 1
    echo $((($(now_us) - start) / 1000))
}

end_session() {
    WINEPREFIX=$PREFIX WINEDEBUG=-all wineserver -k 2>/dev/null || true
    # The session's Xvfb ends and its record goes once the wineserver is gone.
    wait_until "$WAIT_LIMIT" test ! -f "$PREFIX/.vantu-session" ||
        check_failed "the session's record outlived its wineserver"
}

log "a fresh session: no output held open, windows open at once"
end_session
# Started by a console program whose output is a pipe, as ctest starts the first test.
first=$(piped_run_ms) || check_failed "the first program of a session left its output open"
second=$(piped_run_ms) || check_failed "the second program of a session left its output open"
# Anything that kept the lock or the output open would hold the next call for the whole
# lifetime of the session: piped_run_ms's bound catches that.
echo "first program ${first} ms (starts the session), second ${second} ms"

display=$("$TOOLS/wine-prefix.sh" "$PREFIX")
case $display in
    :[0-9]*) ;;
    *) check_failed "wine-prefix.sh printed '$display', not a display" ;;
esac
# By its path, so the process started here is Notepad itself ("wine notepad" would start it
# from a helper process, and ending that would leave Notepad and the session running).
"$TOOLS/wine-run.sh" --prefix "$PREFIX" -- "$PREFIX/drive_c/windows/system32/notepad.exe" \
    >/dev/null 2>&1 &
PIDS+=($!)
notepad_shown() { DISPLAY=$1 xwininfo -root -tree 2>/dev/null | grep -qF '"Untitled - Notepad"'; }
wait_until "$WAIT_LIMIT" notepad_shown "$display" ||
    check_failed "a window did not open on the session's display $display"
kill "${PIDS[-1]}" 2>/dev/null || true
wait "${PIDS[-1]}" 2>/dev/null || true

log "exit statuses pass through"
for status in 0 1 3 125 255; do
    got=0
    run cmd /c exit "$status" || got=$?
    [ "$got" -eq "$status" ] || check_failed "cmd /c exit $status gave status $got"
done

log "programs see the session's display, not the caller's"
seen=$(DISPLAY=:4242 run cmd /c 'echo %DISPLAY%' | tr -d '\r')
[ "$seen" = "$display" ] || check_failed "the program saw DISPLAY '$seen', not '$display'"

# A user that takes the display and starts its program later, as each end-to-end test does (a
# test's first program comes seconds after it joined), in a session that lingers 2 s. With
# descriptor 8 on PREFIX.users the session lasts while the user runs.
user_opens_window_after() {
    local display
    exec 8>>"$PREFIX.users"
    display=$(VANTU_WINESERVER_LINGER=2 "$TOOLS/wine-prefix.sh" "$PREFIX" 2>"$WORK/join.err") ||
        return 1
    sleep "$1"
    wine_env "$PREFIX" "$display"
    wine "$PREFIX/drive_c/windows/system32/notepad.exe" </dev/null >/dev/null 2>&1 8>&- &
    wait_until "$WAIT_LIMIT" notepad_shown "$display"
    local shown=$?
    kill $! 2>/dev/null
    wait $! 2>/dev/null
    return "$shown"
}

log "a session outlives its linger while a user holds it"
end_session
VANTU_WINESERVER_LINGER=2 run cmd /c exit 0
# Joined just before the 2 s run out, its window opening 4 s later.
sleep 1.5
(user_opens_window_after 4) ||
    check_failed "a window did not open 4 s after joining a session that lingers 2 s:" \
        "$(cat "$WORK/join.err")"
# Once nobody holds it, the session ends by itself.
wait_until "$WAIT_LIMIT" test ! -f "$PREFIX/.vantu-session" ||
    check_failed "the session did not end after its users left"

log "a session whose display is gone is replaced"
run cmd /c exit 0
read -r old_display old_xvfb _ <"$PREFIX/.vantu-session"
kill "$old_xvfb"
wait_until "$WAIT_LIMIT" test ! -S "/tmp/.X11-unix/X${old_display#:}" || true
(user_opens_window_after 0) ||
    check_failed "no window opened after the session's Xvfb was killed: $(cat "$WORK/join.err")"
grep -q "in place of a session whose" "$WORK/join.err" ||
    check_failed "wine-prefix.sh did not say it replaced the session: $(cat "$WORK/join.err")"

log "no prefix given: refused, and no .wine is made in HOME"
got=0
env -u WINEPREFIX HOME="$WORK" "$TOOLS/wine-run.sh" cmd /c exit 0 2>"$WORK/err" || got=$?
[ "$got" -eq 125 ] || check_failed "without a prefix the status was $got, not 125"
grep -q 'no prefix' "$WORK/err" || check_failed "without a prefix: $(cat "$WORK/err")"
[ ! -e "$WORK/.wine" ] || check_failed "\$HOME/.wine was made"

log "a folder that is no prefix of ours is not touched"
mkdir -p "$WORK/not-a-prefix"
echo keep >"$WORK/not-a-prefix/file"
got=0
"$TOOLS/wine-prefix.sh" "$WORK/not-a-prefix" >/dev/null 2>"$WORK/err" || got=$?
[ "$got" -ne 0 ] || check_failed "wine-prefix.sh took a folder it did not make"
[ "$(cat "$WORK/not-a-prefix/file")" = keep ] || check_failed "the foreign folder was changed"

finish
