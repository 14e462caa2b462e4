#!/usr/bin/env bash
# "Video Setup" widens the window to show the options panel, "<<" and "Video Setup" narrow it
# again; the height and the top-left corner never move. Widths are outer widths, the window
# manager's frame included, as the layout gives them; so is the client area at opening.
# Under a real window manager (VANTU_E2E_DESKTOP=openbox, mutter or kwin) the window also keeps off
# the taskbar, may be neither resized nor maximized, and its close button ends the launcher.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_desktop

# The window has a fixed size: its size hints must follow every width change, or a window
# manager would hold the window at the old size.
check_size_hints() {
    local hints min max
    hints=$(xprop -id "$WIN" WM_NORMAL_HINTS)
    min=$(sed -n 's/.*minimum size: *\([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
    max=$(sed -n 's/.*maximum size: *\([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
    if [ "$min" != "${CW}x$CH" ] || [ "$max" != "${CW}x$CH" ]; then
        check_failed "$1: size hints min $min max $max, client area ${CW}x$CH"
    fi
}

# What the window manager made of the window: no taskbar button, and of the actions it offers
# neither a resize nor a maximize.
check_managed() {
    local state actions
    state=$(xprop -id "$WIN" _NET_WM_STATE)
    actions=$(xprop -id "$WIN" _NET_WM_ALLOWED_ACTIONS)
    grep -q '_NET_WM_STATE_SKIP_TASKBAR' <<<"$state" ||
        check_failed "$1: $WINDOW_MANAGER gives the window a taskbar button ($state)"
    grep -qE '_NET_WM_ACTION_(RESIZE|MAXIMIZE)' <<<"$actions" &&
        check_failed "$1: $WINDOW_MANAGER lets the player resize the window ($actions)"
    return 0
}
active() { [ "$(xprop -root _NET_ACTIVE_WINDOW | awk '{ print $NF }')" = "$(printf '0x%x' "$WIN")" ]; }

make_game widths "$TYPICAL_CONFIG"
launch "$GAME"
find_main_window
if [ -n "${WINDOW_MANAGER:-}" ]; then
    wait_framed
    check_managed opening
    # The player just started it: it has the keyboard without a click.
    wait_until "$WAIT_LIMIT" active || check_failed "$WINDOW_MANAGER did not make the new window the active one"
fi
geometry "$WIN"
x0=$GX y0=$GY h0=$GH
log "opened at $GX,$GY ${GW}x$GH, client area ${CW}x$CH"
[ "$CW" -eq "$CLIENT_WIDTH" ] || check_failed "opening client width $CW, expected $CLIENT_WIDTH"
[ "$CH" -eq "$CLIENT_HEIGHT" ] || check_failed "client height $CH, expected $CLIENT_HEIGHT"
check_size_hints opening

# control clicked | width expected after it
steps=(
    "$VIDEO_SETUP_X $VIDEO_SETUP_Y Video-Setup $WIDE_WIDTH"
    "$NARROW_X $NARROW_Y << $NARROW_WIDTH"
    "$VIDEO_SETUP_X $VIDEO_SETUP_Y Video-Setup $WIDE_WIDTH"
    "$VIDEO_SETUP_X $VIDEO_SETUP_Y Video-Setup $NARROW_WIDTH"
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

if [ -n "${WINDOW_MANAGER:-}" ]; then
    check_managed "after the toggles"
    # The frame's close button: the window manager asks the window to close (WM_DELETE_WINDOW).
    wmctrl -i -c "$WIN" || check_failed "wmctrl cannot close the window"
    expect_exit closed
    check_no_sanitizer_report "$WORK/launcher-$LAUNCH_COUNT.log"
fi
finish
