#!/usr/bin/env bash
# The launcher runs both suites make (SHARED_RUNS in tests/support/e2e_common.sh), one a row in
# a game folder as a player has it (the launcher copied in beside the stand-in game), played by
# the driver; ctest runs a group of rows a test (VANTU_E2E_RUNS). "Play" hands the game its
# command line byte for byte, started minimised (STARTF_USESHOWWINDOW, SW_SHOWMINIMIZED) in the
# game folder, from the game folder or from another one that names it (also a name outside the
# system's code page). Closing the window (SC_CLOSE) starts nothing. With no vantu.exe, "Play"
# shows a message box titled like the window that names vantu.exe and the system's reason. Each
# row runs again with --play, which shows no window and starts what "Play" starts right after
# the window opened, in the same way (the same command line and show state), or shows the same
# box.
# No run changes the game folder.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# Wine reads names from the command line and the file system in the locale's encoding.
export LC_ALL=C.UTF-8

shaders_off() {
    STEPS+=(click button "Video Setup" wait-width "$WIDE_WIDTH" "$WAIT_LIMIT"
        click check "Use Shaders" wait-check "Use Shaders" 0 "$WAIT_LIMIT")
}
before_elsewhere() {
    make_elsewhere
    mv "$GAME/vantu-launcher.exe" "$ELSEWHERE/"
    LAUNCH=(start-arg "$ELSEWHERE/vantu-launcher.exe" "$ELSEWHERE" "$GAME"
        window "$MAIN_TITLE" "$WINDOW_LIMIT")
    PLAY_LAUNCH=(start-play-arg "$ELSEWHERE/vantu-launcher.exe" "$ELSEWHERE" "$GAME")
}

# The end of a run: the exit status, and the game's start or the box's reason.
#   expect_outcome NAME EXPECTED STATUS
expect_outcome() {
    local text
    expect_eq "$1: exit status" "$(value exit)" "$3"
    case "$2" in
        -) [ -z "$(ls -A "$RECORD")" ] || check_failed "$1: the game was started" ;;
        fails)
            text=$(value box.text)
            log "message: $text"
            grep -qi 'not found' <<<"$text" || check_failed "the message gives no reason: '$text'"
            ;;
        *)
            expect_game_started "$2"
            expect_eq "$1: game folder" "$(sed -n 's/^cwd=//p' "$RECORD/startup")" \
                "Z:${GAME//\//\\}"
            ;;
    esac
}

# The box that reports a failed start, answered.
FAILURE_BOX=(message-box "$MAIN_TITLE" vantu.exe "$WAIT_LIMIT" click button OK)

# One row's run (see SHARED_RUNS).
#   run_game NAME CHANGE ACTIONS ENDING EXPECTED
run_game() {
    local name=$1 change=$2 actions=$3 ending=$4 expected=$5 before status=0
    make_game "$name" "$TYPICAL_CONFIG"
    STEPS=()
    hook before "$change"
    before=$(folder_listing "$GAME")
    [ "$actions" = - ] || "$actions"
    case "$ending" in
        Play) STEPS+=(click button Play) ;;
        close) STEPS+=(close) ;;
        *) STEPS+=(key "$ending") ;;
    esac
    if [ "$expected" = fails ]; then
        STEPS+=("${FAILURE_BOX[@]}")
        status=1
    fi
    drive "${LAUNCH[@]}" "${STEPS[@]}" wait-exit "$WAIT_LIMIT" || return 0
    expect_outcome "$name" "$expected" "$status"
    expect_folder_unchanged "$name: the game folder changed" "$before" "$GAME"
}

# One row's run with --play (see SHARED_RUNS), in a game folder of its own.
#   play_game NAME CHANGE PLAYED
play_game() {
    local name=$1-play change=$2 expected=$3 before status=0
    make_game "$name" "$TYPICAL_CONFIG"
    STEPS=()
    hook before "$change"
    before=$(folder_listing "$GAME")
    if [ "$expected" = fails ]; then
        STEPS+=("${FAILURE_BOX[@]}" wait-exit "$WAIT_LIMIT")
        status=1
    else
        STEPS+=(windowless-exit "$MAIN_TITLE" "$WAIT_LIMIT")
    fi
    drive "${PLAY_LAUNCH[@]}" "${STEPS[@]}" || return 0
    expect_outcome "$name" "$expected" "$status"
    expect_folder_unchanged "$name: the game folder changed" "$before" "$GAME"
}

each_run run_game play_game
finish
