#!/usr/bin/env bash
# At 144 dpi everything scales by 1.5: the client area, the picture (drawn 1.5 times larger, it
# covers the client area) and the wide window, which shows the options panel's backdrop
# (64,64,64). It runs in a prefix of its own (made on first use). The widths at other
# resolutions, 110 % (106 dpi) among them, are checked at every DPI by the Win32 widget tests.
DPI=144
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
load_background

make_game dpi "$TYPICAL_CONFIG"
drive_async "${LAUNCH[@]}" state narrow pause-until "$WORK/narrow-seen" "$WINDOW_LIMIT" \
    click button "Video Setup" wait-width "$WIDE_WIDTH" "$WAIT_LIMIT" state wide \
    pause-until "$WORK/wide-seen" "$WINDOW_LIMIT"

wait_paused "$WORK/narrow-seen"
expect_eq "client area" "$(value narrow.client)" "$CLIENT_WIDTH $CLIENT_HEIGHT"
read -r OX OY <<<"$(value narrow.client-origin)"
# Corners and open spots of the picture; 252..481 x 372..481 holds the two buttons.
EXPECTED="
2 2 picture
150 90 picture
300 200 picture
450 30 picture
60 450 picture
240 330 picture
496 502 picture
490 300 picture
"
verify_screen "narrow window at 144 dpi" "$OX" "$OY"
touch "$WORK/narrow-seen"

wait_paused "$WORK/wide-seen"
read -r OX OY <<<"$(value wide.client-origin)"
# Inside the panel's backdrop (516..805 x 24..493) away from its frames and controls, and the
# picture beside it.
EXPECTED="
560 205 64 64 64
600 470 64 64 64
522 300 64 64 64
150 90 picture
812 300 picture
"
verify_screen "wide window at 144 dpi" "$OX" "$OY"
touch "$WORK/wide-seen"
drive_wait || true

finish
