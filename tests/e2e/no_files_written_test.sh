#!/usr/bin/env bash
# The launcher writes nothing into the game folder: not when the player changes options and
# presses "Play", not when the window is closed. The folder's listing (names, types, sizes,
# modes, modification times, checksums) must be the same before and after.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

listing() {
    (cd "$1" && find . -printf '%p %y %s %m %T@\n' | LC_ALL=C sort &&
        find . -type f -exec sha256sum {} + | LC_ALL=C sort)
}

# The player changes an option, then leaves by the given way.
for way in play close; do
    log "options changed, then $way"
    make_game "$way" "1 1 1 1 1 0 0 0 0 3 "
    [ -z "$DEMO_DIR" ] || cp "$DEMO_DIR/vantu2.wav" "$GAME/"
    before=$(listing "$GAME")
    launch "$GAME"
    find_main_window
    click "$WIN" "$VIDEO_SETUP_X" "$VIDEO_SETUP_Y"
    wait_width "$WIN" 550
    click "$WIN" "$SHADERS_X" "$SHADERS_Y"
    if [ "$way" = play ]; then
        click "$WIN" "$PLAY_X" "$PLAY_Y"
    else
        "$WM_CLOSE" "$WIN" || check_failed "the window does not take WM_DELETE_WINDOW"
    fi
    wait_launcher_exit
    [ "$EXIT_STATUS" -eq 0 ] || check_failed "$way: exit status $EXIT_STATUS, expected 0"
    if [ "$way" = play ]; then
        wait_game_started
    elif [ -e "$RECORD/starts" ]; then
        check_failed "closing the window started the game"
    fi
    after=$(listing "$GAME")
    if [ "$before" != "$after" ]; then
        check_failed "$way: the game folder changed"
        diff <(echo "$before") <(echo "$after") >&2 || true
    fi
done
finish
