#!/usr/bin/env bash
# No window system: the launcher says so in one line on stderr and ends with status 1 (Qt on
# its own aborts with several lines of advice and status 134). It looks where Qt would: a
# Wayland compositor that accepts a connection, then an X display. A platform that needs no
# display (QT_QPA_PLATFORM=offscreen) is respected: the launcher then runs without one.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

make_game no-display "1 1 1 1 1 0 0 0 0 3 "
mkdir -p "$WORK/runtime" "$WORK/home"
chmod 700 "$WORK/runtime"
passed_settings "$E2E_DIR/lsan.supp"
# The launcher in the game folder with a clean environment plus the given NAME=VALUE words, and
# the other words as its arguments. The subshell becomes the launcher, so that a run in the
# background is the launcher itself.
run_launcher() {
    local settings=() args=() word
    for word; do
        if [[ "$word" == *=* ]]; then settings+=("$word"); else args+=("$word"); fi
    done
    cd "$GAME" && exec env -i HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" \
        PATH="$WORK/bin" LANG=C.UTF-8 SDL_AUDIODRIVER=dummy "${PASSED[@]}" "${settings[@]}" \
        "$LAUNCHER" "${args[@]}"
}

unused=99  # an X display that nothing serves
while [ -e "/tmp/.X11-unix/X$unused" ] || [ -e "/tmp/.X$unused-lock" ]; do unused=$((unused + 1)); done
# A socket that nothing listens on any more, as a compositor that crashed leaves it.
/usr/bin/python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' \
    "$WORK/runtime/wayland-stale"
prefix="vantu-launcher: cannot open a display"
while IFS='|' read -r setting expected; do
    status=0
    # shellcheck disable=SC2086  # words or none
    (run_launcher $setting) >/dev/null 2>"$WORK/stderr" || status=$?
    log "[$setting] status $status: $(cat "$WORK/stderr")"
    [ "$status" -eq 1 ] || check_failed "[$setting] exit status $status, expected 1"
    [ "$(cat "$WORK/stderr")" = "$prefix ($expected)" ] || check_failed "[$setting] not the one line"
done <<EOF_CASES
|neither WAYLAND_DISPLAY nor DISPLAY is set
QT_QPA_PLATFORM=xcb|DISPLAY is not set
DISPLAY=:$unused|cannot connect to :$unused
WAYLAND_DISPLAY=wayland-stale|no Wayland compositor at $WORK/runtime/wayland-stale, and DISPLAY is not set
WAYLAND_DISPLAY=$WORK/runtime/wayland-stale DISPLAY=:$unused|cannot connect to :$unused
QT_QPA_PLATFORM=wayland|no Wayland compositor at $WORK/runtime/wayland-0
DISPLAY=:$unused QT_QPA_PLATFORM=xcb -platform wayland|no Wayland compositor at $WORK/runtime/wayland-0
EOF_CASES

for offscreen in QT_QPA_PLATFORM=offscreen "-platform offscreen"; do
    # shellcheck disable=SC2086  # words
    (run_launcher $offscreen) >"$WORK/launcher-offscreen.log" 2>&1 &
    LAUNCHER_PID=$!
    sleep 1
    alive "$LAUNCHER_PID" || check_failed "the launcher ended under $offscreen"
    stop_process "$LAUNCHER_PID"
done
finish
