#!/usr/bin/env bash
# Every failure is reported: a message box titled like the window names it, and once it is
# dismissed the launcher ends with status 1. Failures are injected by vantu-fault-launcher.exe
# (the real launcher with a control or the game's start made to fail): while the window is
# being built (the box then stands alone), in the Click of a check box the player clicked, and a
# failure that is no standard exception. With FOLDER_ARG set, the real launcher is started with
# that argument (a game folder, an option) on its command line instead; EXIT is the status
# expected once the box is dismissed (1 unless set). With FRONT set, the driver first shows a
# window of its own titled FRONT in the foreground (a game client the launcher is started
# from), starts the launcher with --play in a game folder without vantu.exe (VANTU_FAULT=box-style
# notes what the box asks Windows for), and the box must have asked for the foreground, and to
# stay on top where Windows refuses. (Whether it is in front is not checked: Wine puts any new
# window in front sooner or later, whatever it asks for, so that says nothing of the launcher.)
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
[ -f "$FAULT_LAUNCHER" ] || die "missing '$FAULT_LAUNCHER' (build the windows preset)"

# expect_report FAULT TEXT [DRIVER COMMAND...]: the commands lead to the failure.
expect_report() {
    local fault=$1 text=$2
    shift 2
    make_game "$fault" "$TYPICAL_CONFIG"
    local start=(start "$GAME/vantu-launcher.exe" "$GAME")
    if [ -n "${FRONT:-}" ]; then
        rm "$GAME/vantu.exe"
        cp "$FAULT_LAUNCHER" "$GAME/vantu-launcher.exe"
        start=(front "$FRONT" start-play "$GAME/vantu-launcher.exe" "$GAME")
    elif [ -n "${FOLDER_ARG:-}" ]; then
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
    [ -z "${FRONT:-}" ] ||
        expect_eq "$fault: what the box asked for" "$(cat "$GAME/box-style.txt")" \
            "setforeground=1 topmost=1"
}

OWNER=none expect_report list-unreadable "list selection 42"
expect_report check-unreadable "check box state 7" window "$MAIN_TITLE" "$WINDOW_LIMIT" \
    click button "Video Setup" wait-width "$WIDE_WIDTH" "$WAIT_LIMIT" click check "Use Shaders"
expect_report start-throws "unknown failure" window "$MAIN_TITLE" "$WINDOW_LIMIT" \
    click button Play
# The launcher's own arguments end it with the same status as on Linux: 2 for a folder that
# cannot be entered (Wine's text for ERROR_FILE_NOT_FOUND) and for a usage error (the usage
# follows in the box).
EXIT=2 OWNER=none FOLDER_ARG=$WORK/missing expect_report missing-folder \
    "cannot enter the game folder 'Z:${WORK//\//\\}\\missing': File not found."
EXIT=2 OWNER=none FOLDER_ARG=--no-such-option expect_report no-such-option \
    "unknown option '--no-such-option'"
# --play has no window of its own: its box still comes in front of the one it was started from.
OWNER=none FRONT="Game client" expect_report box-style "vantu.exe: File not found."
# --version is answered in a box of its own too, and then the launcher ends normally.
EXIT=0 OWNER=none FOLDER_ARG=--version expect_report version "vantu-launcher $VANTU_VERSION"
finish
