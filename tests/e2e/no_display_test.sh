#!/usr/bin/env bash
# No window system: the launcher says so in one line on stderr and ends with status 1 (Qt on
# its own aborts with several lines of advice and status 134). A platform that needs no display
# (QT_QPA_PLATFORM=offscreen) is respected: the launcher then runs without one.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

make_game no-display "1 1 1 1 1 0 0 0 0 3 "
mkdir -p "$WORK/runtime" "$WORK/home"
chmod 700 "$WORK/runtime"

# Runs the launcher in the game folder with only the given variables besides the basics.
#   run_launcher NAME=VALUE...  -> sets STATUS, stderr in $WORK/stderr
# The sanitizer build's settings go along, as launch does.
pass=("LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$E2E_DIR/lsan.supp")
for name in ASAN_OPTIONS UBSAN_OPTIONS; do
    [ -n "${!name:-}" ] && pass+=("$name=${!name}")
done
run_launcher() {
    STATUS=0
    (cd "$GAME" && exec timeout 10 env -i HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" \
        PATH="$WORK/bin" LANG=C.UTF-8 SDL_AUDIODRIVER=dummy "${pass[@]}" "$@" "$LAUNCHER") \
        >"$WORK/stdout" 2>"$WORK/stderr" || STATUS=$?
}

# An X display number that nothing serves.
unused=99
while [ -e "/tmp/.X11-unix/X$unused" ] || [ -e "/tmp/.X$unused-lock" ]; do unused=$((unused + 1)); done

declare -A expected=(
    [unset]="vantu-launcher: cannot open the display (DISPLAY is not set)"
    [unreachable]="vantu-launcher: cannot open the display (cannot connect to :$unused)"
    [xcb-unset]="vantu-launcher: cannot open the display (DISPLAY is not set)"
)
declare -A settings=(
    [unset]=""
    [unreachable]="DISPLAY=:$unused"
    [xcb-unset]="QT_QPA_PLATFORM=xcb"
)
for name in unset unreachable xcb-unset; do
    # shellcheck disable=SC2086  # one NAME=VALUE word or none
    run_launcher ${settings[$name]}
    log "$name: status $STATUS, stderr: $(cat "$WORK/stderr")"
    [ "$STATUS" -eq 1 ] || check_failed "$name: exit status $STATUS, expected 1"
    [ "$(cat "$WORK/stderr")" = "${expected[$name]}" ] ||
        check_failed "$name: stderr is not the one line '${expected[$name]}'"
done

log "offscreen without a display runs"
(cd "$GAME" && exec env -i HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" PATH="$WORK/bin" \
    LANG=C.UTF-8 SDL_AUDIODRIVER=dummy "${pass[@]}" QT_QPA_PLATFORM=offscreen "$LAUNCHER") \
    >"$WORK/launcher-offscreen.log" 2>&1 &
LAUNCHER_PID=$!
sleep 1
alive "$LAUNCHER_PID" || check_failed "the launcher ended under QT_QPA_PLATFORM=offscreen"
finish
