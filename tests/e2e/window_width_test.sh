#!/usr/bin/env bash
# "Video Setup" widens the window to show the options panel, "<<" and "Video Setup" narrow it
# again; the height and the top-left corner never move. Widths are outer widths: 8250 twips
# (550 px) wide, 5160 twips (344 px) narrow; the window opens with a 4980-twip (332 px) client.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

# The window has a fixed size: its size hints must follow every width change, or a window
# manager would hold the window at the old size.
check_size_hints() {
    local hints min max
    hints=$(xprop -id "$WIN" WM_NORMAL_HINTS)
    min=$(sed -n 's/.*minimum size: *\([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
    max=$(sed -n 's/.*maximum size: *\([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
    if [ "$min" != "${GW}x$GH" ] || [ "$max" != "${GW}x$GH" ]; then
        check_failed "$1: size hints min $min max $max, window ${GW}x$GH"
    fi
}

make_game widths "1 1 1 1 1 0 0 0 0 3 "
launch "$GAME"
find_main_window
geometry "$WIN"
x0=$GX y0=$GY h0=$GH
log "opened at $GX,$GY ${GW}x$GH"
[ "$GW" -eq 332 ] || check_failed "opening width $GW, expected 332"
[ "$GH" -eq 336 ] || check_failed "height $GH, expected 336"
check_size_hints opening

# control clicked | width expected after it
steps=(
    "$VIDEO_SETUP_X $VIDEO_SETUP_Y Video-Setup 550"
    "$NARROW_X $NARROW_Y << 344"
    "$VIDEO_SETUP_X $VIDEO_SETUP_Y Video-Setup 550"
    "$VIDEO_SETUP_X $VIDEO_SETUP_Y Video-Setup 344"
)
for step in "${steps[@]}"; do
    read -r x y name width <<<"$step"
    click "$WIN" "$x" "$y"
    wait_width "$WIN" "$width"
    log "after $name: $GX,$GY ${GW}x$GH"
    [ "$GH" -eq "$h0" ] || check_failed "after $name: height $GH, expected $h0"
    [ "$GX,$GY" = "$x0,$y0" ] || check_failed "after $name: moved to $GX,$GY from $x0,$y0"
    check_size_hints "after $name"
done
finish
