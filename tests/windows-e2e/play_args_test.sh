#!/usr/bin/env bash
# "Play" hands the game its command line byte for byte, started minimised (STARTF_USESHOWWINDOW,
# SW_SHOWMINIMIZED) in the game folder, and the launcher then ends with status 0. One row per
# xconfig.dat: its bytes, what the player does before "Play" (driver commands) and the command
# line the game must receive. (Which options each file gives is the core tests' business.)
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

WIDEN=(click button "Video Setup" wait-width 550 "$WAIT_LIMIT")
NO_SHADERS=("${WIDEN[@]}" click check "Use Shaders" wait-check "Use Shaders" 0 "$WAIT_LIMIT")
NONE=()

# name | xconfig.dat (NONE: no file) | actions (array name) | command line
rows=(
    "typical run|$TYPICAL_CONFIG|NO_SHADERS|vantu.exe -nc -d v3  -d noshaders -d saveme"
    "no xconfig.dat|NONE|NONE|vantu.exe -nc -d v1  -d noshadow -d saveme"
)

n=0
for row in "${rows[@]}"; do
    IFS='|' read -r name config actions expected <<<"$row"
    n=$((n + 1))
    log "row $n: $name"
    make_game "row$n" "$config"
    launch_commands
    declare -n steps=$actions
    drive "${LAUNCH[@]}" "${steps[@]}" click button Play wait-exit "$WAIT_LIMIT" || continue
    unset -n steps
    expect_eq "$name: launcher exit status" "$(value exit)" 0
    expect_game_started "$expected"
    expect_eq "$name: game folder" "$(sed -n 's/^cwd=//p' "$RECORD/startup")" \
        "Z:${GAME//\//\\}"
done
finish
