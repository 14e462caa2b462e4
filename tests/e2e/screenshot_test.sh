#!/usr/bin/env bash
# What the player sees, pixel by pixel at a few telling points: the background picture where
# no control is (also where the hidden controls sit), the options panel (Shape1: fill
# RGB(64,64,64), outline RGB(128,128,128)) only in the wide window, and the picture around it.
# Keeps one screenshot of each state, cropped to the window, in --shots.
# Under a real window manager (VANTU_E2E_DESKTOP=kwin) the same, the window in its frame, which
# the kept screenshots show (named after the desktop): the picture drawn by a compositing window
# manager is the one checked.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_desktop
load_background

keep_shot() {
    [ -n "$SHOTS" ] || return 0
    mkdir -p "$SHOTS"
    local name=$1
    [ -z "${WINDOW_MANAGER:-}" ] || name=${name%.png}-$WINDOW_MANAGER.png
    # No time stamps in the file, so an unchanged window gives an unchanged file.
    convert "$WORK/shot.png" -crop "${GW}x${GH}+${GX}+${GY}" +repage -strip \
        -define png:exclude-chunks=date,time "$SHOTS/$name"
    log "kept $SHOTS/$name"
}

make_game shots "$TYPICAL_CONFIG"
launch "$GAME"
find_main_window
[ -z "${WINDOW_MANAGER:-}" ] || wait_framed
geometry "$WIN"

log "narrow window ${GW}x$GH"
EXPECTED="
10 10 picture
100 60 picture
120 210 picture
40 140 picture
40 215 picture
331 200 picture
331 100 picture
20 330 picture
331 335 picture
"
# 40,140 and 40,215 lie under the hidden text box and "Load Config"; column 331 is the last
# one before the panel, which starts at 344.
verify_screen "narrow window" "$CX" "$CY"
keep_shot launcher-narrow.png

click "$WIN" "$VIDEO_SETUP_X" "$VIDEO_SETUP_Y"
wait_width "$WIN" "$WIDE_WIDTH"
log "wide window ${GW}x$GH"
EXPECTED="
100 60 picture
331 200 picture
350 300 64 64 64
350 140 64 64 64
530 320 64 64 64
344 200 128 128 128
344 100 128 128 128
400 16 128 128 128
500 16 128 128 128
340 100 picture
540 100 picture
$((CW - 2)) 200 picture
545 20 picture
$((CW - 1)) 335 picture
400 332 picture
400 10 picture
"
# 350,300, 350,140 and 530,320 are inside Shape1 but outside its frames and controls; x 344
# and y 16 are its outline; x 540 up to the client area's last column (549 with no frame, less
# where the window manager's frame has borders at the sides) and y 332 are the picture right of
# and below it.
verify_screen "wide window" "$CX" "$CY"
keep_shot launcher-wide.png

click "$WIN" "$NARROW_X" "$NARROW_Y"
wait_width "$WIN" "$NARROW_WIDTH"
log "narrowed again ${GW}x$GH"
EXPECTED="
100 60 picture
331 200 picture
340 100 picture
$((CW - 1)) 200 picture
$((CW - 1)) 16 picture
"
# Back at 344 px outer width the panel's outline (x 344) is just out of the window, whose last
# client column is the picture.
verify_screen "narrowed window" "$CX" "$CY"
finish
