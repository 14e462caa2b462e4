#!/usr/bin/env bash
# Every failure is reported: a message box titled like the window names it, and once it is
# dismissed the launcher ends with status 1. Failures are injected by vantu-fault-launcher.exe
# (the real launcher with a control or the game's start made to fail): while the window is
# being built (the box then stands alone), in the Click of a check box the player clicked, and a
# failure that is no standard exception. With FOLDER_ARG set, the real launcher is started with
# that argument (a game folder, an option) on its command line instead; EXIT is the status
# expected once the box is dismissed (1 unless set).
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
[ -f "$FAULT_LAUNCHER" ] || die "missing '$FAULT_LAUNCHER' (build the windows preset)"

# expect_report FAULT TEXT [DRIVER COMMAND...]: the commands lead to the failure.
expect_report() {
    local fault=$1 text=$2
    shift 2
    make_game "$fault" "$TYPICAL_CONFIG"
    local start=(start "$GAME/vantu-launcher.exe" "$GAME")
    if [ -n "${FOLDER_ARG:-}" ]; then
        start=(start-arg "$GAME/vantu-launcher.exe" "$GAME" "$FOLDER_ARG")
    else
        cp "$FAULT_LAUNCHER" "$GAME/vantu-launcher.exe"
    fi
    VANTU_FAULT=$fault drive "${start[@]}" "$@" \
        message-box "$MAIN_TITLE" "$text" "$WINDOW_LIMIT" state box \
        click button OK wait-exit "$WAIT_LIMIT" || return 0
    expect_eq "$fault: report" "$(value box.text)" "$text"
    expect_eq "$fault: exit status" "$(value exit)" "${EXIT:-1}"
    [ -z "${OWNER:-}" ] || expect_eq "$fault: the box's owner" "$(value box.owner)" "$OWNER"
}

OWNER=none expect_report list-unreadable "list selection 42"
expect_report check-unreadable "check box state 7" window "$MAIN_TITLE" "$WINDOW_LIMIT" \
    click button "Video Setup" wait-width "$WIDE_WIDTH" "$WAIT_LIMIT" click check "Use Shaders"
expect_report start-throws "unknown failure" window "$MAIN_TITLE" "$WINDOW_LIMIT" \
    click button Play
# (Wine's text for ERROR_FILE_NOT_FOUND.)
OWNER=none FOLDER_ARG=$WORK/missing expect_report missing-folder \
    "cannot enter the game folder 'Z:${WORK//\//\\}\\missing': File not found."
# --version is answered in a box of its own too, and then the launcher ends normally.
EXIT=0 OWNER=none FOLDER_ARG=--version expect_report version "vantu-launcher $VANTU_VERSION"
finish
