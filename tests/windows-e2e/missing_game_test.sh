#!/usr/bin/env bash
# With no vantu.exe, "Play" shows a message box titled like the window that names vantu.exe and
# the system's reason; once it is dismissed the launcher ends with status 1 and the game folder
# is as it was.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

make_game missing "$TYPICAL_CONFIG" no-game
before=$(folder_listing "$GAME")
launch_commands
drive "${LAUNCH[@]}" click button Play \
    message-box "$MAIN_TITLE" vantu.exe "$WAIT_LIMIT" \
    click button OK wait-exit "$WAIT_LIMIT"
text=$(value box.text)
log "message: $text"
grep -qi 'not found' <<<"$text" || check_failed "the message gives no reason: '$text'"
expect_eq "exit status" "$(value exit)" 1
expect_folder_unchanged "the game folder changed" "$before" "$GAME"
finish
