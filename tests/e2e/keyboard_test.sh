#!/usr/bin/env bash
# The keyboard focus starts on "Play": space or Enter presses it. Escape, and Enter on a control
# that is not a push button, do nothing: the window stays and no game starts.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

log "Escape, and Enter on the list"
make_game keys-ignored "$TYPICAL_CONFIG"
launch "$GAME"
find_main_window
focus_window "$WIN"
xdotool key Escape Tab Return KP_Enter Escape
# X delivers input in order: once the click after the keys has widened the window, the keys
# have been handled, and the launcher is still running.
click "$WIN" "$VIDEO_SETUP_X" "$VIDEO_SETUP_Y"
wait_width "$WIN" "$WIDE_WIDTH"
alive "$LAUNCHER_PID" || check_failed "the launcher ended"
close_window closing
[ ! -e "$RECORD/starts" ] || check_failed "Enter or Escape started the game"

for key in Return space; do
    log "$key on Play"
    make_game "keys-$key" "$TYPICAL_CONFIG"
    launch "$GAME"
    find_main_window
    focus_window "$WIN"
    xdotool key "$key"
    expect_exit "after $key"
    expect_args -nc -d v3 -d saveme
done
finish
