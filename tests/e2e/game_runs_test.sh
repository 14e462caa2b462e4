#!/usr/bin/env bash
# One launcher run a row (see SHARED_RUNS in tests/support/e2e_common.sh): the rows both suites
# share, then the keyboard's and the strange folders'; ctest runs a group of rows a test. In
# every run the launcher starts with no second window, starts the game at most once and in its
# folder, keeps every sanitizer quiet, prints nothing but a start failure and writes nothing
# into the game folder. Each row runs again with --play, with no display at all (neither
# DISPLAY nor WAYLAND_DISPLAY) and QT_DEBUG_PLUGINS=1, which makes Qt print every plugin it looks
# for: the launcher still prints nothing (Qt's platform never starts), plays no sound and starts
# what "Play" starts right after the window opened; a game it cannot start is one line, and
# with a display (PLAYED "box") that line first and then the box that "Play" shows.
# Runners: a Windows game starts through the program WINE names, else wine, else umu-run, in
# the game folder with the environment passed on; no runner at all is reported as such.
# Keyboard: the focus starts on "Play", and space or Enter presses it. Escape, and Enter on a
# control that is not a push button, do nothing: the window stays and no game starts.
# Strange folders: an odd path, a folder the player may not write, a configuration file the
# player may not read, one that is a pipe, a folder, huge or a device, a folder deleted while
# the launcher runs, a game that cannot be started. The launcher says nothing about a
# configuration it cannot read (the design values and display mode 1 stay). The rows about
# permissions need a player whom the permissions bind: run by root (who reads and writes
# whatever they say), they run the launcher as the unprivileged user "nobody"; run by any other
# user, as that user.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
UNPRIVILEGED=""
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || die "setpriv is missing (util-linux)"
    id nobody >/dev/null 2>&1 || die "there is no user 'nobody' to run the launcher as"
    UNPRIVILEGED=nobody
fi
start_xvfb

# The game's command line after a start-up that could not read xconfig.dat: display mode 1, the
# design values of the check boxes (only "Advanced Shadows" clear), and the changed flag.
readonly UNREAD="vantu.exe -nc -d v1  -d noshadow -d saveme"
readonly PLAYED="vantu.exe -nc -d v3  -d saveme"

# The folder listings' checksums: every file under 1 MiB (find's -size rounds up to its unit,
# so in KiB), and never the 5 GB configuration file.
readonly CHECKSUMMED=(-size -1024k)

# What the player does: widen the window and clear "Use Shaders".
shaders_off() {
    click "$WIN" "$VIDEO_SETUP_X" "$VIDEO_SETUP_Y"
    wait_width "$WIN" "$WIDE_WIDTH"
    click "$WIN" "$SHADERS_X" "$SHADERS_Y"
}
# Escape, and Enter and keypad Enter on the list. X delivers input in order: once the click
# after the keys has widened the window, the keys have been handled.
ignored_keys() {
    focus_window "$WIN"
    xdotool key Escape Tab Return KP_Enter Escape
    click "$WIN" "$VIDEO_SETUP_X" "$VIDEO_SETUP_Y"
    wait_width "$WIN" "$WIDE_WIDTH"
}

# What the launcher printed, less the sanitizer runtime's list of the suppressions it used.
launcher_said() {
    grep -vE '^-+$|^Suppressions used:|^ *count +bytes +template|^ *[0-9]+ +[0-9]+ +[^ ]+$|^$' \
        "$1" || true
}

# Folder changes (see SHARED_RUNS). They may set RUN_AS (the user the launcher runs as),
# LAUNCH_IN (the folder it starts in), LAUNCH_ARGS and SETTINGS (NAME=VALUE words for it).
before_elsewhere() {
    make_elsewhere
    LAUNCH_IN=$ELSEWHERE
    LAUNCH_ARGS=(-style fusion "../$(basename "$GAME")")
}
before_odd_path() {
    local odd="$WORK/game folder "$'\xff\xfe'" with a"$'\n'"line break and "$'\xe9'"t"$'\xe9'"-${GAME##*/game-}"
    mv "$GAME" "$odd"
    GAME=$odd
}
before_read_only() { chmod 555 "$GAME" && RUN_AS=$UNPRIVILEGED; }
# The sound is unreadable too: the start-up stays silent. Where SDL's disk driver would write a
# sound that plays.
before_unreadable() {
    chmod 000 "$GAME/xconfig.dat" "$GAME/vantu2.wav"
    RUN_AS=$UNPRIVILEGED
    mkdir -m 777 "$WORK/sound-$NAME"
    SETTINGS=(SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/sound-$NAME/played.raw")
}
after_unreadable() {
    [ ! -e "$WORK/sound-$NAME/played.raw" ] ||
        check_failed "$NAME: a sound was played from an unreadable vantu2.wav"
}
before_config_pipe() { rm "$GAME/xconfig.dat" && mkfifo "$GAME/xconfig.dat"; }
# A sparse file far over the reader's size limit: refused at once, not read.
before_config_huge() { truncate -s 5G "$GAME/xconfig.dat"; }
before_config_device() { ln -sf /dev/zero "$GAME/xconfig.dat"; }
before_config_folder() { rm "$GAME/xconfig.dat" && mkdir "$GAME/xconfig.dat"; }
before_not_executable() { chmod 644 "$GAME/vantu.exe"; }
during_delete() { rm -rf "$GAME"; }

# Runners: vantu.exe is a Windows program, and PATH a folder of the row's own with stand-in
# runners NAME..., which record what the stand-in game records (see make_game) and, in
# $RECORD/runner, their name, the game's path they were handed and WINEPREFIX.
#   windows_game [NAME...]
windows_game() {
    local dir="$WORK/runners-$NAME" name
    mkdir -p "$dir"
    printf 'MZ\220\0' >"$GAME/vantu.exe"
    for name; do stand_in_runner "$dir/$name"; done
    SETTINGS+=(PATH="$dir" WINEPREFIX="$WORK/prefix of $NAME")
}
stand_in_runner() {
    local name
    name=$(basename "$1")
    mkdir -p "$(dirname "$1")"
    cat >"$1" <<EOF
#!/bin/sh
printf '%s\n' '$name' "\$1" "\$WINEPREFIX" >'$RECORD/runner'
shift
printf '%s\n' "\$@" >'$RECORD/args'
pwd -P >'$RECORD/cwd'
echo started >>'$RECORD/starts'
: >'$RECORD/startup'
EOF
    chmod 755 "$1"
}
# The runner RAN started the game.
runner_ran() {
    expect_same "$NAME: the runner" "$(printf '%s\n' "$RAN" "$(cd "$GAME" && pwd -P)/vantu.exe" \
        "$WORK/prefix of $NAME")" "$(cat "$RECORD/runner")"
}
# WINE before wine and umu-run, a path with a blank handed on as it is.
before_wine_path() {
    windows_game wine umu-run
    stand_in_runner "$WORK/own-$NAME/my wine"
    SETTINGS+=(WINE="$WORK/own-$NAME/my wine") RAN="my wine"
}
before_umu_run_only() { windows_game umu-run && RAN=umu-run; }
before_no_runner() { windows_game; }
after_wine_path() { runner_ran; }
after_umu_run_only() { runner_ran; }
after_no_runner() {
    grep -qxF "vantu.exe: a Windows program, and nothing to run it: WINE is not set, and neither wine nor umu-run is in PATH" \
        "$WORK/launcher-$LAUNCH_COUNT.log" || check_failed "$NAME: not said that no runner was found"
}
after_delete() { [ ! -e "$GAME" ] || check_failed "$NAME: the deleted game folder came back"; }

# One row's run (see SHARED_RUNS).
#   run_game NAME CHANGE ACTIONS ENDING EXPECTED
run_game() {
    local change=$2 actions=$3 ending=$4 expected=$5 before out words
    NAME=$1
    make_game "$NAME" "$TYPICAL_CONFIG" sound
    chmod 777 "$RECORD"  # the game records its start as the launcher's user
    RUN_AS="" LAUNCH_IN="" LAUNCH_ARGS=() SETTINGS=()
    hook before "$change"
    before=$(folder_listing "$GAME" "${CHECKSUMMED[@]}")
    LAUNCH_AS=$RUN_AS launch "${LAUNCH_IN:-$GAME}" "${SETTINGS[@]}"
    find_main_window
    hook during "$change"
    # Reading the configuration failed or not, no message came up.
    other_window && check_failed "$NAME: a second window came up at start-up"
    [ "$actions" = - ] || "$actions"

    case "$ending" in
        Play) click "$WIN" "$PLAY_X" "$PLAY_Y" ;;
        close)
            alive "$LAUNCHER_PID" || check_failed "$NAME: the launcher ended before closing"
            close_window "$NAME: closing"
            ;;
        *)
            focus_window "$WIN"
            xdotool key "$ending"
            ;;
    esac
    case "$expected" in
        -) ;;
        fails)
            wait_until "$WAIT_LIMIT" other_window || die "$NAME: no message box came up"
            alive "$LAUNCHER_PID" || check_failed "$NAME: the launcher ended before its box was answered"
            focus_window "$BOX"
            xdotool key Return
            expect_exit "$NAME: after the failed start" 1
            ;;
        *)
            expect_exit "$NAME: after $ending"
            read -ra words <<<"${expected#vantu.exe }"
            expect_args "${words[@]}"
            [ "$(cat "$RECORD/cwd")" = "$(cd "$GAME" && pwd -P)" ] ||
                check_failed "$NAME: the game ran in $(cat "$RECORD/cwd")"
            [ "$(wc -l <"$RECORD/starts")" -eq 1 ] || check_failed "$NAME: game started more than once"
            ;;
    esac
    case "$expected" in -|fails) [ ! -e "$RECORD/starts" ] || check_failed "$NAME: the game was started" ;; esac

    out="$WORK/launcher-$LAUNCH_COUNT.log"
    check_no_sanitizer_report "$out"
    # A start failure is the one thing the launcher reports (in its box; it may print it too).
    if [ "$expected" != fails ] && [ -n "$(launcher_said "$out")" ]; then
        check_failed "$NAME: the launcher printed something:"
        launcher_said "$out" >&2
    fi
    hook after "$change"
    [ "$change" = delete ] ||
        expect_folder_unchanged "$NAME: the game folder changed" "$before" "$GAME" "${CHECKSUMMED[@]}"
}

# One row's run with --play (see SHARED_RUNS), in a game folder of its own.
#   play_game NAME CHANGE PLAYED
play_game() {
    local change=$2 expected=$3 before out said session words sound
    NAME=$1-play
    make_game "$NAME" "$TYPICAL_CONFIG" sound
    chmod 777 "$RECORD"
    RUN_AS="" LAUNCH_IN="" LAUNCH_ARGS=() SETTINGS=()
    hook before "$change"
    LAUNCH_ARGS=(--play "${LAUNCH_ARGS[@]}")
    before=$(folder_listing "$GAME" "${CHECKSUMMED[@]}")
    # Where SDL's disk driver would write a sound that plays.
    sound="$WORK/play-sound-$NAME"
    mkdir -m 777 "$sound"
    session=("${SESSION_SETTINGS[@]}")
    [ "$expected" = box ] || SESSION_SETTINGS=()
    LAUNCH_AS=$RUN_AS launch "${LAUNCH_IN:-$GAME}" QT_DEBUG_PLUGINS=1 SDL_AUDIODRIVER=disk \
        SDL_DISKAUDIOFILE="$sound/played.raw" "${SETTINGS[@]}"
    SESSION_SETTINGS=("${session[@]}")
    out="$WORK/launcher-$LAUNCH_COUNT.log"
    if [ "$expected" = box ]; then
        WIN=""
        wait_until "$WAIT_LIMIT" other_window || die "$NAME: no message box came up"
        said=$(launcher_said "$out")
        [[ "$said" == vantu.exe:* ]] || check_failed "$NAME: the line about vantu.exe is not first: '$said'"
        focus_window "$BOX"
        xdotool key Return
        expect_exit "$NAME: after the failed start" 1
        [ ! -e "$RECORD/starts" ] || check_failed "$NAME: the game was started"
    elif [ "$expected" = fails ]; then
        expect_exit "$NAME: after the failed start" 1
        said=$(launcher_said "$out")
        { [ "$(wc -l <<<"$said")" -eq 1 ] && [[ "$said" == vantu.exe:* ]]; } ||
            check_failed "$NAME: not one line about vantu.exe: '$said'"
        [ ! -e "$RECORD/starts" ] || check_failed "$NAME: the game was started"
    else
        expect_exit "$NAME"
        said=$(launcher_said "$out")
        read -ra words <<<"${expected#vantu.exe }"
        expect_args "${words[@]}"
        [ "$(cat "$RECORD/cwd")" = "$(cd "$GAME" && pwd -P)" ] ||
            check_failed "$NAME: the game ran in $(cat "$RECORD/cwd")"
        [ "$(wc -l <"$RECORD/starts")" -eq 1 ] || check_failed "$NAME: game started more than once"
        [ -z "$said" ] || check_failed "$NAME: the launcher printed something: $said"
    fi
    [ ! -e "$sound/played.raw" ] || check_failed "$NAME: a sound was played"
    check_no_sanitizer_report "$out"
    hook after "$change"
    expect_folder_unchanged "$NAME: the game folder changed" "$before" "$GAME" "${CHECKSUMMED[@]}"
}

each_run run_game play_game \
    "keyboard|ignored-keys|-|ignored_keys|close|-|$PLAYED" \
    "keyboard|return-on-play|-|-|Return|$PLAYED|=" \
    "keyboard|space-on-play|-|-|space|$PLAYED|=" \
    "strange_folders|odd-path|odd_path|-|Play|$PLAYED|=" \
    "strange_folders|read-only|read_only|-|Play|$PLAYED|=" \
    "strange_folders|read-only-close|read_only|-|close|-|$PLAYED" \
    "strange_folders|config-unreadable|unreadable|-|Play|$UNREAD|=" \
    "strange_folders|config-unreadable-close|unreadable|-|close|-|$UNREAD" \
    "strange_folders|config-is-a-pipe|config_pipe|-|Play|$UNREAD|=" \
    "strange_folders|config-is-a-folder|config_folder|-|Play|$UNREAD|=" \
    "strange_folders|config-huge|config_huge|-|Play|$UNREAD|=" \
    "strange_folders|config-links-to-a-device|config_device|-|Play|$UNREAD|=" \
    "strange_folders|deleted-then-play|delete|-|Play|fails|-" \
    "strange_folders|deleted-then-close|delete|-|close|-|-" \
    "strange_folders|game-not-executable|not_executable|-|Play|fails|=" \
    "runners|wine-names-a-path|wine_path|-|Play|$PLAYED|=" \
    "runners|umu-run-only|umu_run_only|-|Play|$PLAYED|=" \
    "runners|no-runner|no_runner|-|Play|fails|box"
finish
