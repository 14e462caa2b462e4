#!/usr/bin/env bash
# No window system: the launcher says so in one line on stderr and ends with status 1 (Qt on
# its own aborts with several lines of advice and status 134). It looks where Qt would: a
# Wayland compositor that accepts a connection, then an X display (Qt's -display, else
# DISPLAY), reading the platform list as Qt does. When Qt itself cannot start (it cannot
# connect, or its plugin cannot be loaded), Qt's own lines come first and the last line says
# why, from what Qt said. A platform that needs no display (QT_QPA_PLATFORM=offscreen) is
# respected: the launcher then runs without one. Qt is handed its own options alone, with
# relative paths read from the folder the launcher was started in.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

make_game no-display "$TYPICAL_CONFIG" sound
mkdir -m 700 "$WORK/runtime"
# Starts the launcher in the game folder (no display set) with the NAME=VALUE words in its
# environment and the other words as its arguments.
launch_with() {
    local settings=() word
    LAUNCH_ARGS=()
    for word; do
        if [[ "$word" == *=* ]]; then settings+=("$word"); else LAUNCH_ARGS+=("$word"); fi
    done
    launch "$GAME" "${settings[@]}"
}

unused=99  # an X display that nothing serves
while [ -e "/tmp/.X11-unix/X$unused" ] || [ -e "/tmp/.X$unused-lock" ]; do unused=$((unused + 1)); done
# A socket that nothing listens on any more, as a compositor that crashed leaves it.
/usr/bin/python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' \
    "$WORK/runtime/wayland-stale"
prefix="vantu-launcher: cannot open a display"
# Each row: the settings, why the last line says the launcher cannot open a display, and what
# Qt's own lines before it say (none: the launcher's line is the only one).
while IFS='|' read -r setting expected qt_said; do
    # shellcheck disable=SC2086  # words or none
    launch_with $setting
    expect_exit "[$setting]" 1
    output="$WORK/launcher-$LAUNCH_COUNT.log"
    log "[$setting] status $EXIT_STATUS: $(cat "$output")"
    [ "$(tail -n 1 "$output")" = "$prefix ($expected)" ] || check_failed "[$setting] not the line that says why"
    if [ -z "$qt_said" ]; then
        [ "$(wc -l <"$output")" -eq 1 ] || check_failed "[$setting] more than the one line"
    else
        grep -qF -- "$qt_said" "$output" || check_failed "[$setting] Qt's own reason is not passed on"
    fi
done <<EOF_CASES
|neither WAYLAND_DISPLAY nor DISPLAY is set|
QT_QPA_PLATFORM=xcb|DISPLAY is not set|
QT_QPA_PLATFORM=XCB|DISPLAY is not set|
DISPLAY=:$unused|cannot connect to :$unused|could not connect to display :$unused
-display :$unused|cannot connect to :$unused|could not connect to display :$unused
DISPLAY=:0 -display :$unused|cannot connect to :$unused|could not connect to display :$unused
WAYLAND_DISPLAY=wayland-stale|no Wayland compositor at $WORK/runtime/wayland-stale, and DISPLAY is not set|
WAYLAND_DISPLAY=$WORK/runtime/wayland-stale DISPLAY=:$unused|cannot connect to the Wayland display $WORK/runtime/wayland-stale, and cannot connect to :$unused|Failed to create wl_display
QT_QPA_PLATFORM=wayland|no Wayland compositor at $WORK/runtime/wayland-0|
QT_QPA_PLATFORM=;wayland;|no Wayland compositor at $WORK/runtime/wayland-0|
DISPLAY=:$unused QT_QPA_PLATFORM=xcb -platform wayland|no Wayland compositor at $WORK/runtime/wayland-0|
EOF_CASES

# The start-up sound has begun: SDL's disk driver has written what it plays, which the launcher
# starts from its event loop, once its window was shown.
sound_begun() { [ -s "$WORK/played-$LAUNCH_COUNT.raw" ]; }
for offscreen in QT_QPA_PLATFORM=offscreen "-platform offscreen"; do
    # shellcheck disable=SC2086  # words
    launch_with $offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/played-$((LAUNCH_COUNT + 1)).raw"
    wait_until "$WAIT_LIMIT" sound_begun || die "under $offscreen the launcher did not get to its sound"
    alive "$LAUNCHER_PID" || check_failed "the launcher ended under $offscreen"
    stop_process "$LAUNCHER_PID"
done

# The display is there, but Qt cannot load its X11 plugin: a library that only the plugin needs
# is broken (an empty file first in the library path). Qt's lines, and with QT_DEBUG_PLUGINS=1
# its reason, come first; the last line sums them up without blaming the display.
start_xvfb
mkdir "$WORK/broken-libraries"
: >"$WORK/broken-libraries/libxkbcommon-x11.so.0"
plugin_line='vantu-launcher: Qt cannot start its platform (the plugin "xcb" was found but could not be loaded'
for setting in "" QT_DEBUG_PLUGINS=1; do
    launch_with LD_LIBRARY_PATH="$WORK/broken-libraries" $setting
    expect_exit "[broken plugin $setting]" 1
    output="$WORK/launcher-$LAUNCH_COUNT.log"
    log "[broken plugin $setting] status $EXIT_STATUS, last line: $(tail -n 1 "$output")"
    expected="$plugin_line; QT_DEBUG_PLUGINS=1 shows why)"
    [ -z "$setting" ] || expected="$plugin_line)"
    [ "$(tail -n 1 "$output")" = "$expected" ] || check_failed "[broken plugin $setting] not the line that says why"
    grep -qF 'Could not load the Qt platform plugin "xcb"' "$output" ||
        check_failed "[broken plugin $setting] Qt's own line is not passed on"
    [ -z "$setting" ] || grep -qF "libxkbcommon-x11.so.0: file too short" "$output" ||
        check_failed "[broken plugin $setting] Qt's account of the plugin's loading is lost"
done

# A platform that Qt does not have: its list of those it has is passed on before the last line.
launch_with QT_QPA_PLATFORM=nosuch
expect_exit "[no such platform]" 1
output="$WORK/launcher-$LAUNCH_COUNT.log"
grep -qF "Available platform plugins are:" "$output" ||
    check_failed "[no such platform] Qt's list of its platforms is not passed on"
[ "$(tail -n 1 "$output")" = 'vantu-launcher: Qt cannot start its platform (there is no plugin "nosuch")' ] ||
    check_failed "[no such platform] not the line that says why"

# Qt gets its options and nothing else: not a game folder that only looks like one of its options
# ("-testability" would have it load a library), and a relative style sheet is read from the
# folder the launcher was started in, not from the game folder.
mkdir "$WORK/start"
ln -s "$GAME" "$WORK/start/-testability"
LAUNCH_ARGS=(-stylesheet missing.qss -- -testability)
launch "$WORK/start"
find_main_window
output="$WORK/launcher-$LAUNCH_COUNT.log"
log "[Qt's options] said: $(cat "$output")"
grep -qF "Failed to load file  \"$WORK/start/missing.qss\"" "$output" ||
    check_failed "the style sheet was not read from the start folder"
! grep -qi testability "$output" || check_failed "the game folder was handed to Qt as its option"
stop_process "$LAUNCHER_PID"
finish
