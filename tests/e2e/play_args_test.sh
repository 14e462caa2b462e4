#!/usr/bin/env bash
# "Play" hands the game the switches for the options read from xconfig.dat (and changed by the
# player), then the launcher ends at once with status 0. One launcher run per case. (Which
# options each file gives is the core tests' business.)
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

# The player widens the window and clears "Use Shaders" before pressing Play.
shaders_off() {
    click "$WIN" "$VIDEO_SETUP_X" "$VIDEO_SETUP_Y"
    wait_width "$WIN" "$WIDE_WIDTH"
    click "$WIN" "$SHADERS_X" "$SHADERS_Y"
}

# name | xconfig.dat bytes (NONE: no file) | what the player does first | expected arguments |
# started in the game folder (-) or elsewhere with these arguments, GAME for the game folder
cases=(
    "no-file|NONE|-|-nc -d v1 -d noshadow -d saveme|-"
    "typical-shaders-off|$TYPICAL_CONFIG|shaders_off|-nc -d v3 -d noshaders -d saveme|-"
    "folder-argument|$TYPICAL_CONFIG|shaders_off|-nc -d v3 -d noshaders -d saveme|-style fusion GAME"
)

for entry in "${cases[@]}"; do
    IFS='|' read -r name content action expected arguments <<<"$entry"
    log "case $name"
    make_game "$name" "$content"
    if [ "$arguments" = - ]; then
        LAUNCH_ARGS=()
        launch "$GAME"
    else
        # A folder beside it, whose own xconfig.dat must not be read: the game folder is named
        # relative to it.
        mkdir "$WORK/elsewhere-$name"
        printf '0 0 0 0 0 0 0 0 1 5 ' >"$WORK/elsewhere-$name/xconfig.dat"
        read -ra LAUNCH_ARGS <<<"${arguments//GAME/../game-$name}"
        launch "$WORK/elsewhere-$name"
    fi
    find_main_window
    [ "$action" = - ] || "$action"
    click "$WIN" "$PLAY_X" "$PLAY_Y"
    expect_exit "$name"
    # shellcheck disable=SC2086  # the expected arguments are words
    expect_args $expected
    [ "$(cat "$RECORD/cwd")" = "$(cd "$GAME" && pwd -P)" ] || check_failed "$name: game ran in $(cat "$RECORD/cwd")"
    [ "$(wc -l <"$RECORD/starts")" -eq 1 ] || check_failed "$name: game started more than once"
done
finish
