#!/usr/bin/env bash
# Closing the window (the close button's SC_CLOSE) ends the launcher with status 0, starts
# nothing and writes nothing, even after the player changed options.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

make_game close "$TYPICAL_CONFIG"
before=$(folder_listing "$GAME")
launch_commands
drive "${LAUNCH[@]}" click button "Video Setup" wait-width "$WIDE_WIDTH" "$WAIT_LIMIT" \
    click check "Use Shaders" wait-check "Use Shaders" 0 "$WAIT_LIMIT" \
    close wait-exit "$WAIT_LIMIT"
expect_eq "exit status" "$(value exit)" 0
expect_folder_unchanged "the game folder changed" "$before" "$GAME"
[ -z "$(ls -A "$RECORD")" ] || check_failed "the game was started"
finish
