#!/usr/bin/env bash
# A pad walks the window: a stand-in XInput in the prefix's system folder replays the pad's
# states, the launcher reads them as the system's. Up to "Video Setup", A (the window widens),
# Right into the panel, A on a check box, Up to the list, A (it opens), Down, A (the choice), B
# (the window narrows), Start (the game starts). Each state holds 0.5 s, and the driver waits for
# each step's effect in turn: the focus, the width, the check box, the list, the game's command
# line.
PAD=1
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

# XInput's buttons.
readonly UP=0001 DOWN=0002 RIGHT=0008 START=0010 A=1000 B=2000
walk=("$UP" "$A" "$RIGHT" "$A" "$UP" "$UP" "$UP" "$UP" "$UP" "$UP" "$A" "$DOWN" "$A" "$B" "$START")
# From the first read (once the window has shown): 1.5 s to find the window, then a press of
# 0.15 s each 0.5 s.
t=1500
for button in "${walk[@]}"; do
    printf '%d %s\n%d 0\n' "$t" "$button" $((t + 150))
    t=$((t + 500))
done >"$PAD_SCRIPT"

make_game pad "$TYPICAL_CONFIG"
drive "${LAUNCH[@]}" \
    wait-focus button "Video Setup" "$WAIT_LIMIT" \
    wait-width "$WIDE_WIDTH" "$WAIT_LIMIT" \
    wait-focus check "Bullets Glow" "$WAIT_LIMIT" \
    wait-check "Bullets Glow" 0 "$WAIT_LIMIT" \
    wait-focus check "Window mode" "$WAIT_LIMIT" \
    wait-focus combo - "$WAIT_LIMIT" \
    wait-list 4 "$WAIT_LIMIT" \
    wait-width "$NARROW_WIDTH" "$WAIT_LIMIT" \
    wait-focus button "Video Setup" "$WAIT_LIMIT" \
    wait-exit "$WAIT_LIMIT"
expect_eq "exit status after Start" "$(value exit)" 0
expect_game_started "vantu.exe -nc -d v4  -d noglow -d saveme"
finish
