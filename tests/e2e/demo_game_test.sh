#!/usr/bin/env bash
# The built demo folder is a complete game folder: the launcher runs there, and "Play" starts
# the demo game, whose window comes up and closes from the keyboard (its Quit button).
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

[ -d "$DEMO_DIR" ] || die "no demo folder at '$DEMO_DIR'"
GAME="$WORK/demo"
cp -a "$DEMO_DIR/." "$GAME/"
for f in vantu.exe xconfig.dat vantu2.wav; do
    [ -f "$GAME/$f" ] || check_failed "the demo folder has no $f"
done
[ -x "$GAME/vantu.exe" ] || die "the demo game is not executable"
printf '%s' "$TYPICAL_CONFIG" | cmp -s - "$GAME/xconfig.dat" ||
    check_failed "the demo xconfig.dat is not the typical 20-byte file"

launch "$GAME"
find_main_window
click "$WIN" "$PLAY_X" "$PLAY_Y"
expect_exit launcher

demo_window() {
    DEMO_WIN=$(windows_named "$MAIN_TITLE (demo game)" | head -n 1)
    [ -n "$DEMO_WIN" ]
}
wait_until "$WAIT_LIMIT" demo_window || die "the demo game's window did not appear"
DEMO_PID=$(xdotool getwindowpid "$DEMO_WIN") || die "the demo game's window has no process id"
EXTRA_PIDS+=("$DEMO_PID")
geometry "$DEMO_WIN"
log "demo game (pid $DEMO_PID) window ${GW}x$GH"

focus_window "$DEMO_WIN"
xdotool key Return
wait_until "$WAIT_LIMIT" ended "$DEMO_PID" || check_failed "the demo game did not end on Return"
finish
