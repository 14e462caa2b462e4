#!/usr/bin/env bash
# The keyboard alone: Tab and Shift+Tab walk the focus order (it starts on "Play"), Space
# presses the focused button or toggles the focused check box, arrows move the list, Escape
# does nothing, Enter does nothing on a check box or the list and presses "Play".
# Input is handled in order, so a wait on the effect of a later key also proves that an
# earlier one (which must change nothing) has been handled.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

order=(
    "button:Play" "combo:-" "check:Window mode" "check:Use Shaders" "button:Video Setup"
    "check:Advanced Shadows" "check:Engines / Fire effects" "check:Scenery clouds"
    "check:Bullets Glow"
)
focus() { steps+=(wait-focus "${1%%:*}" "${1#*:}" "$WAIT_LIMIT"); }

steps=()
focus "${order[0]}"
for ((i = 1; i <= ${#order[@]}; i++)); do
    steps+=(key tab)
    focus "${order[i % ${#order[@]}]}"
done
for ((i = ${#order[@]} - 1; i >= 0; i--)); do
    steps+=(key shift+tab)
    focus "${order[i]}"
done
steps+=(
    key escape key tab wait-focus combo - "$WAIT_LIMIT"
    key return key down wait-list 4 "$WAIT_LIMIT"
    key tab key return key space wait-check "Window mode" 1 "$WAIT_LIMIT"
    key tab key tab key space wait-width "$WIDE_WIDTH" "$WAIT_LIMIT"
    state before-play
    key shift+tab key shift+tab key shift+tab key shift+tab
    wait-focus button Play "$WAIT_LIMIT" key return wait-exit "$WAIT_LIMIT"
)

make_game keys "$TYPICAL_CONFIG"
drive "${LAUNCH[@]}" "${steps[@]}"
expect_eq "focus before Play" "$(value before-play.focus)" "button:Video Setup"
expect_eq "exit status after Enter on Play" "$(value exit)" 0
expect_game_started "vantu.exe -nc -d v4  -d winmode -d saveme"

make_game space "$TYPICAL_CONFIG"
drive "${LAUNCH[@]}" wait-focus button Play "$WAIT_LIMIT" key space wait-exit "$WAIT_LIMIT"
expect_eq "exit status after Space on Play" "$(value exit)" 0
expect_game_started "vantu.exe -nc -d v3  -d saveme"
finish
