#!/usr/bin/env bash
# No window system: the launcher says so in one line on stderr and ends with status 1 (Qt on
# its own aborts with several lines of advice and status 134). It looks where Qt would: a
# Wayland compositor that accepts a connection, then an X display. A platform that needs no
# display (QT_QPA_PLATFORM=offscreen) is respected: the launcher then runs without one.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

make_game no-display "$TYPICAL_CONFIG"
mkdir -m 700 "$WORK/runtime"
# Starts the launcher in the game folder (no display set) with the NAME=VALUE words in its
# environment and the other words as its arguments.
launch_with() {
    local settings=() word
    LAUNCH_ARGS=()
    for word; do
        if [[ "$word" == *=* ]]; then settings+=("$word"); else LAUNCH_ARGS+=("$word"); fi
    done
    launch "$GAME" "${settings[@]}"
}

unused=99  # an X display that nothing serves
while [ -e "/tmp/.X11-unix/X$unused" ] || [ -e "/tmp/.X$unused-lock" ]; do unused=$((unused + 1)); done
# A socket that nothing listens on any more, as a compositor that crashed leaves it.
/usr/bin/python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' \
    "$WORK/runtime/wayland-stale"
prefix="vantu-launcher: cannot open a display"
while IFS='|' read -r setting expected; do
    # shellcheck disable=SC2086  # words or none
    launch_with $setting
    expect_exit "[$setting]" 1
    said=$(cat "$WORK/launcher-$LAUNCH_COUNT.log")
    log "[$setting] status $EXIT_STATUS: $said"
    [ "$said" = "$prefix ($expected)" ] || check_failed "[$setting] not the one line"
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
    launch_with $offscreen
    sleep 1
    alive "$LAUNCHER_PID" || check_failed "the launcher ended under $offscreen"
    stop_process "$LAUNCHER_PID"
done
finish
