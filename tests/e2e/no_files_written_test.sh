#!/usr/bin/env bash
# The launcher writes nothing into the game folder: not when the player changes options and
# presses "Play", not when the window is closed. The folder's listing (names, types, sizes,
# modes, modification times, checksums) must be the same before and after.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

# The player changes an option, then leaves by the given way.
for way in play close; do
    log "options changed, then $way"
    make_game "$way" "$TYPICAL_CONFIG" sound
    before=$(folder_listing "$GAME")
    launch "$GAME"
    find_main_window
    click "$WIN" "$VIDEO_SETUP_X" "$VIDEO_SETUP_Y"
    wait_width "$WIN" "$WIDE_WIDTH"
    click "$WIN" "$SHADERS_X" "$SHADERS_Y"
    if [ "$way" = play ]; then
        click "$WIN" "$PLAY_X" "$PLAY_Y"
        expect_exit "$way"
        wait_game_started
    else
        close_window "$way"
        [ ! -e "$RECORD/starts" ] || check_failed "closing the window started the game"
    fi
    expect_folder_unchanged "$way: the game folder changed" "$before" "$GAME"
done
finish
