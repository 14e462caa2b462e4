#!/usr/bin/env bash
# "Play" hands the game its command line byte for byte, started minimised (STARTF_USESHOWWINDOW,
# SW_SHOWMINIMIZED) in the game folder, and the launcher then ends with status 0. One row per
# xconfig.dat: its bytes, what the player does before "Play" (driver commands), the command line
# the game must receive, and where the launcher is: in the game folder, or in another folder
# with an xconfig.dat of its own, started there with the game folder named on its command line
# (also a name outside the system's code page). (Which options each file gives is the core
# tests' business.)
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# Wine reads names from the command line and the file system in the locale's encoding.
export LC_ALL=C.UTF-8

WIDEN=(click button "Video Setup" wait-width "$WIDE_WIDTH" "$WAIT_LIMIT")
NO_SHADERS=("${WIDEN[@]}" click check "Use Shaders" wait-check "Use Shaders" 0 "$WAIT_LIMIT")
NONE=()

# name | xconfig.dat (NONE: no file) | actions (array name) | command line | the game folder's
# name when the launcher is started elsewhere with it as its argument (-: started in it)
rows=(
    "typical run|$TYPICAL_CONFIG|NO_SHADERS|vantu.exe -nc -d v3  -d noshaders -d saveme|-"
    "no xconfig.dat|NONE|NONE|vantu.exe -nc -d v1  -d noshadow -d saveme|-"
    "folder argument|$TYPICAL_CONFIG|NONE|vantu.exe -nc -d v3  -d saveme|game folder"
    "Cyrillic folder|$TYPICAL_CONFIG|NO_SHADERS|vantu.exe -nc -d v3  -d noshaders -d saveme|игра"
)

n=0
for row in "${rows[@]}"; do
    IFS='|' read -r name config actions expected folder <<<"$row"
    n=$((n + 1))
    log "row $n: $name"
    make_game "row$n" "$config"
    launch_commands
    if [ "$folder" != - ]; then
        mv "$GAME" "$WORK/$folder"
        GAME=$WORK/$folder
        elsewhere=$WORK/elsewhere-$n
        mkdir "$elsewhere"
        mv "$GAME/vantu-launcher.exe" "$elsewhere/"
        printf '0 0 0 0 0 0 0 0 1 5 ' >"$elsewhere/xconfig.dat"
        LAUNCH=(start-arg "$elsewhere/vantu-launcher.exe" "$elsewhere" "$GAME"
            window "$MAIN_TITLE" "$WINDOW_LIMIT")
    fi
    declare -n steps=$actions
    drive "${LAUNCH[@]}" "${steps[@]}" click button Play wait-exit "$WAIT_LIMIT" || continue
    unset -n steps
    expect_eq "$name: launcher exit status" "$(value exit)" 0
    expect_game_started "$expected"
    expect_eq "$name: game folder" "$(sed -n 's/^cwd=//p' "$RECORD/startup")" \
        "Z:${GAME//\//\\}"
done
finish
