#!/usr/bin/env bash
# With no vantu.exe in the game folder or on PATH, "Play" reports the failure in a message box
# and the launcher then ends with a failure status (not by a signal); nothing is started.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

make_game missing "$TYPICAL_CONFIG"
# Decoys where the game must not be looked up: the folder above and the home folder.
mkdir -p "$WORK/home"
cp "$GAME/vantu.exe" "$WORK/vantu.exe"
mv "$GAME/vantu.exe" "$WORK/home/vantu.exe"
launch "$GAME"
find_main_window
click "$WIN" "$PLAY_X" "$PLAY_Y"

# The message box carries the launcher's title too: wait for a second such window.
wait_until "$WAIT_LIMIT" other_window || die "no message box appeared"
alive "$LAUNCHER_PID" || check_failed "the launcher ended before the message box was answered"
geometry "$BOX"
log "message box ${GW}x$GH at $GX,$GY"

focus_window "$BOX"
xdotool key Return
wait_launcher_exit
log "exit status $EXIT_STATUS"
if [ "$EXIT_STATUS" -eq 0 ] || [ "$EXIT_STATUS" -ge 128 ]; then
    check_failed "exit status $EXIT_STATUS, expected a failure status below 128"
fi
[ ! -e "$RECORD/starts" ] || check_failed "something was started"
finish
