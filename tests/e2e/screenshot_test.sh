#!/usr/bin/env bash
# What the player sees, pixel by pixel at a few telling points: the background picture where
# no control is (also where the hidden controls sit), the options panel (Shape1: fill
# RGB(64,64,64), outline RGB(128,128,128)) only in the wide window, and the picture around it.
# Keeps one screenshot of each state, cropped to the window, in --shots.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

for tool in import convert identify; do
    command -v "$tool" >/dev/null || die "$tool (ImageMagick) is missing"
done
[ -r "$BACKGROUND" ] || die "no background picture at '$BACKGROUND'"
BG_W=$(identify -format %w "$BACKGROUND")
convert "$BACKGROUND" -depth 8 rgb:"$WORK/background.rgb"

readonly SCREEN_W=1024
# "R G B" of pixel x,y in a raw RGB file $1 that is $2 pixels wide.
pixel() {
    od -An -tu1 -j $((($4 * $2 + $3) * 3)) -N3 "$1" | awk '{ print $1, $2, $3 }'
}

shoot() {
    import -window root "$WORK/shot.png"
    convert "$WORK/shot.png" -depth 8 rgb:"$WORK/shot.rgb"
}

# Expectations, one a line: "x y picture" (the background's pixel there) or "x y R G B", in
# client pixels. Succeeds when all hold; the mismatches are in $WORK/mismatches.
matches() {
    local x y r g b want got
    : >"$WORK/mismatches"
    while read -r x y r g b; do
        [ -n "$x" ] || continue
        if [ "$r" = picture ]; then
            want=$(pixel "$WORK/background.rgb" "$BG_W" "$x" "$y")
        else
            want="$r $g $b"
        fi
        got=$(pixel "$WORK/shot.rgb" "$SCREEN_W" $((GX + x)) $((GY + y)))
        [ "$got" = "$want" ] ||
            echo "client pixel $x,$y is ($got), expected ($want)" >>"$WORK/mismatches"
    done <<<"$EXPECTED"
    [ ! -s "$WORK/mismatches" ]
}

shoot_and_match() { shoot && matches; }

# Takes screenshots until the window shows what $EXPECTED says (it may still be painting).
verify_state() {
    local name=$1
    if ! wait_until 5 shoot_and_match; then
        check_failed "$name window:"
        sed 's/^/    /' "$WORK/mismatches" >&2
    fi
}

keep_shot() {
    [ -n "$SHOTS" ] || return 0
    mkdir -p "$SHOTS"
    # No time stamps in the file, so an unchanged window gives an unchanged file.
    convert "$WORK/shot.png" -crop "${GW}x${GH}+${GX}+${GY}" +repage -strip \
        -define png:exclude-chunks=date,time "$SHOTS/$1"
    log "kept $SHOTS/$1"
}

make_game shots "1 1 1 1 1 0 0 0 0 3 "
launch "$GAME"
find_main_window
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
verify_state narrow
keep_shot launcher-narrow.png

click "$WIN" "$VIDEO_SETUP_X" "$VIDEO_SETUP_Y"
wait_width "$WIN" 550
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
548 200 picture
545 20 picture
549 335 picture
400 332 picture
400 10 picture
"
# 350,300, 350,140 and 530,320 are inside Shape1 but outside its frames and controls; x 344
# and y 16 are its outline; x 540..549 and y 332 are the picture right of and below it.
verify_state wide
keep_shot launcher-wide.png

click "$WIN" "$NARROW_X" "$NARROW_Y"
wait_width "$WIN" 344
log "narrowed again ${GW}x$GH"
EXPECTED="
100 60 picture
331 200 picture
340 100 picture
343 200 picture
343 16 picture
"
# Back at 344 px outer width the panel's outline (x 344) is just out of the window.
verify_state narrowed
finish
