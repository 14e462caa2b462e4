#!/usr/bin/env bash
# Takes the README's screenshots of the Windows launcher under Wine: docs/windows-narrow.png
# (as it opens), docs/windows-wide.png (after "Video Setup") and docs/windows-pad-focus.png (the
# focus cue after a pad moved the focus: Up, A, Right, Up, to "Scenery clouds"), on the Wine
# session's Xvfb (no window manager), in a game folder with a typical xconfig.dat. Each picture
# is the window's client area (Wine draws no frame without a window manager). The pad is the
# end-to-end tests' scripted XInput, in their pad prefix.
#
#   tools/windows-screenshots.sh [BUILD_DIR]   (default build/windows; build the windows preset
#                                               first)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m -- "${1:-$repo/build/windows}")
for tool in import convert cmp; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (imagemagick)" >&2; exit 1; }
done

# The end-to-end tests' helpers: the Wine session, game folders, the driver and the pad.
PAD=1
# shellcheck source=../tests/windows-e2e/lib.sh
source "$repo/tests/windows-e2e/lib.sh" --launcher "$build/vantu-launcher.exe" \
    --stub "$build/tests/windows-e2e/vantu.exe" --driver "$build/tests/windows-e2e/win-driver.exe" \
    --prefix "$build/wine-prefix" --background "$repo/assets/background.png" \
    --scripted-xinput "$build/tests/windows-e2e/xinput1_4.dll"

# Crops the client area from screenshots until two in a row are the same (painting is done).
# Optionally also until the pixel X,Y of the crop is R,G,B.
settled() {
    local out=$1 geometry=$2 probe=${3:-}
    import -window root "$WORK/screen.png"
    convert "$WORK/screen.png" -crop "$geometry" +repage -strip \
        -define png:exclude-chunks=date,time "$WORK/new.png"
    if [ -n "$probe" ]; then
        local x y colour
        read -r x y colour <<<"$probe"
        [ "$(convert "$WORK/new.png" -format "%[pixel:p{$x,$y}]" info:)" = "$colour" ] ||
            return 1
    fi
    if [ -f "$WORK/last.png" ] && cmp -s "$WORK/new.png" "$WORK/last.png"; then
        mv "$WORK/new.png" "$out"
        rm -f "$WORK/last.png"
        return 0
    fi
    mv "$WORK/new.png" "$WORK/last.png"
    sleep 0.2
    return 1
}

shoot_window() {  # LABEL OUTPUT [PROBE]
    local x y w h
    read -r x y <<<"$(value "$1.client-origin")"
    read -r w h <<<"$(value "$1.client")"
    wait_until 10 settled "$2" "${w}x${h}+${x}+${y}" "${3:-}" || die "the $1 window did not settle"
    log "wrote $2 (${w}x$h)"
}

make_game shots "$TYPICAL_CONFIG"
: >"$PAD_SCRIPT"  # a pad connected, nothing pressed
# The mouse rests off the window, so that no control is drawn as hovered.
drive_async "${LAUNCH[@]}" move-to 1000 700 state narrow pause-until "$WORK/narrow-done" "$WINDOW_LIMIT" \
    click button "Video Setup" wait-width "$WIDE_WIDTH" "$WAIT_LIMIT" move-to 1000 700 state wide \
    pause-until "$WORK/wide-done" "$WINDOW_LIMIT"
wait_paused "$WORK/narrow-done"
shoot_window narrow "$repo/docs/windows-narrow.png"
touch "$WORK/narrow-done"
wait_paused "$WORK/wide-done"
# Inside the options panel's backdrop, away from its controls.
shoot_window wide "$repo/docs/windows-wide.png" "350 300 srgb(64,64,64)"
touch "$WORK/wide-done"
drive_wait || true

# XInput's buttons, pressed for 0.15 s every 0.5 s once the window reads the pad.
printf '%s\n' "1500 0001" "1650 0" "2000 1000" "2150 0" "2500 0008" "2650 0" "3000 0001" \
    "3150 0" >"$PAD_SCRIPT"
make_game pad-shot "$TYPICAL_CONFIG"
drive_async "${LAUNCH[@]}" move-to 1000 700 wait-width "$WIDE_WIDTH" "$WAIT_LIMIT" \
    wait-focus check "Scenery clouds" "$WAIT_LIMIT" state pad pause-until "$WORK/pad-done" \
    "$WINDOW_LIMIT"
wait_paused "$WORK/pad-done"
shoot_window pad "$repo/docs/windows-pad-focus.png"
touch "$WORK/pad-done"
drive_wait || true
finish
