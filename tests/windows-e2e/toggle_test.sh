#!/usr/bin/env bash
# "Video Setup" widens the window to 550 px (8250 twips) and "<<" or "Video Setup" narrows it to
# 344 px (5160 twips); only the width changes. The window opens narrow with a 332 x 336 client
# area, owned by a hidden window (no taskbar button).
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

make_game toggle "$TYPICAL_CONFIG"
launch_commands
drive "${LAUNCH[@]}" state opened \
    click button "Video Setup" wait-width 550 "$WAIT_LIMIT" state wide \
    click static "<<" wait-width 344 "$WAIT_LIMIT" state narrowed \
    click button "Video Setup" wait-width 550 "$WAIT_LIMIT" state wide-again \
    click button "Video Setup" wait-width 344 "$WAIT_LIMIT" state narrowed-again

expect_eq "client area at opening" "$(value opened.client)" "332 336"
expect_eq "owner" "$(value opened.owner)" hidden
read -r x y w h <<<"$(value opened.window)"
[ "$w" -lt 550 ] || check_failed "opening width $w is not narrow"
for state in wide:550 narrowed:344 wide-again:550 narrowed-again:344; do
    label=${state%%:*}
    expect_eq "$label window (x y width height)" "$(value "$label.window")" \
        "$x $y ${state##*:} $h"
    expect_eq "$label client height" "$(value "$label.client" | cut -d' ' -f2)" 336
done
finish
