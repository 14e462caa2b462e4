#!/usr/bin/env bash
# Game folders out of the ordinary: an odd path, a folder the player may not write, a
# configuration file the player may not read, one that is a pipe or a folder, a folder deleted
# while the launcher runs, a game that cannot be started. In every one the launcher starts,
# says nothing about a configuration it cannot read (the design values and display mode 1
# stay), reports a game it cannot start in its message box, and ends cleanly: status 0 after
# Play or closing, 1 after a start failure, no sanitizer report, nothing written into the folder.
#
# The tests run as root, who reads and writes whatever the permissions say; the rows that are
# about permissions run the launcher as the unprivileged user "nobody".
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
command -v setpriv >/dev/null || die "setpriv is missing (util-linux)"
id nobody >/dev/null 2>&1 || die "there is no user 'nobody' to run the launcher as"
start_xvfb

# The switches after a start-up that could not read xconfig.dat: display mode 1, the design
# values of the check boxes (only "Advanced Shadows" clear), and the changed flag.
readonly UNREAD="-nc -d v1 -d noshadow -d saveme"

# The folder listings' checksums: every file under 1 MiB (find's -size rounds up to its unit,
# so in KiB), and never the 5 GB configuration file.
readonly CHECKSUMMED=(-size -1024k)

# What the launcher printed, less the sanitizer runtime's list of the suppressions it used.
launcher_said() {
    grep -vE '^-+$|^Suppressions used:|^ *count +bytes +template|^ *[0-9]+ +[0-9]+ +[^ ]+$|^$' \
        "$1" || true
}

# Folder changes, made before the launcher starts (before_*) or while its window is up
# (during_*). GAME and RECORD name the folders of the row.
before_odd_path() {
    local odd="$WORK/game folder "$'\xff\xfe'" with a"$'\n'"line break and "$'\xe9'"t"$'\xe9'
    mv "$GAME" "$odd"
    GAME=$odd
}
before_read_only() {
    [ -z "$DEMO_DIR" ] || cp "$DEMO_DIR/vantu2.wav" "$GAME/"
    chmod 555 "$GAME"
}
# The sound is unreadable too: the start-up stays silent.
before_unreadable() {
    [ -z "$DEMO_DIR" ] || cp "$DEMO_DIR/vantu2.wav" "$GAME/"
    chmod 000 "$GAME/xconfig.dat" "$GAME/vantu2.wav"
}
before_config_pipe() {
    rm "$GAME/xconfig.dat"
    mkfifo "$GAME/xconfig.dat"
}
# A sparse file far over the reader's size limit: refused at once, not read.
before_config_huge() {
    truncate -s 5G "$GAME/xconfig.dat"
}
before_config_device() {
    rm "$GAME/xconfig.dat"
    ln -s /dev/zero "$GAME/xconfig.dat"
}
before_config_folder() {
    rm "$GAME/xconfig.dat"
    mkdir "$GAME/xconfig.dat"
}
before_not_executable() {
    chmod 644 "$GAME/vantu.exe"
}
during_delete() {
    rm -rf "$GAME"
}

# name | run as | folder change | how the run ends | game arguments after Play
cases=(
    "odd-path|root|odd_path|play|-nc -d v3 -d saveme"
    "read-only|nobody|read_only|play|-nc -d v3 -d saveme"
    "read-only-close|nobody|read_only|close|-"
    "config-unreadable|nobody|unreadable|play|$UNREAD"
    "config-unreadable-close|nobody|unreadable|close|-"
    "config-is-a-pipe|root|config_pipe|play|$UNREAD"
    "config-is-a-folder|root|config_folder|play|$UNREAD"
    "config-huge|root|config_huge|play|$UNREAD"
    "config-links-to-a-device|root|config_device|play|$UNREAD"
    "deleted-then-play|root|delete|play-fails|-"
    "deleted-then-close|root|delete|close|-"
    "game-not-executable|root|not_executable|play-fails|-"
)

for entry in "${cases[@]}"; do
    IFS='|' read -r name user change ending expected <<<"$entry"
    log "case $name"
    make_game "$name" "$TYPICAL_CONFIG"
    chmod 777 "$RECORD"  # the game records its start as the launcher's user
    # Where SDL's disk driver would write a sound that plays: only where none may play, as the
    # driver announces itself on stderr when it opens.
    sound="$WORK/sound-$name"
    mkdir -m 777 "$sound"
    audio=(SDL_AUDIODRIVER=dummy)
    [ "$change" != unreadable ] || audio=(SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$sound/played.raw")
    ! declare -F "before_$change" >/dev/null || "before_$change"
    before=$(folder_listing "$GAME" "${CHECKSUMMED[@]}")
    run_as=""
    [ "$user" = root ] || run_as=$user
    LAUNCH_AS=$run_as launch "$GAME" "${audio[@]}"
    find_main_window
    ! declare -F "during_$change" >/dev/null || "during_$change"
    # Reading the configuration failed or not, no message came up.
    other_window && check_failed "$name: a second window came up at start-up"

    case "$ending" in
        play)
            click "$WIN" "$PLAY_X" "$PLAY_Y"
            expect_exit "$name: after Play"
            # shellcheck disable=SC2086  # the expected arguments are words
            expect_args $expected
            [ "$(cat "$RECORD/cwd")" = "$(cd "$GAME" && pwd -P)" ] ||
                check_failed "$name: the game ran in $(cat "$RECORD/cwd")"
            ;;
        close)
            close_window "$name: closing"
            ;;
        play-fails)
            click "$WIN" "$PLAY_X" "$PLAY_Y"
            wait_until "$WAIT_LIMIT" other_window || die "$name: no message box came up"
            focus_window "$BOX"
            xdotool key Return
            expect_exit "$name: after the failed start" 1
            ;;
    esac
    [ "$ending" = play ] || [ ! -e "$RECORD/starts" ] || check_failed "$name: the game was started"

    log="$WORK/launcher-$LAUNCH_COUNT.log"
    check_no_sanitizer_report "$log"
    # A start failure is the one thing the launcher reports (in its box; it may print it too).
    if [ "$ending" != play-fails ] && [ -n "$(launcher_said "$log")" ]; then
        check_failed "$name: the launcher printed something:"
        launcher_said "$log" >&2
    fi
    if [ "$change" = unreadable ] && [ -e "$sound/played.raw" ]; then
        check_failed "$name: a sound was played from an unreadable vantu2.wav"
    fi
    if [ "$change" = delete ]; then
        [ ! -e "$GAME" ] || check_failed "$name: the deleted game folder came back"
    else
        expect_folder_unchanged "$name: the game folder changed" "$before" "$GAME" \
            "${CHECKSUMMED[@]}"
    fi
done
finish
