#!/usr/bin/env bash
# At 110 % scaling (106 dpi), where the wide width is no whole number of pixels, real clicks on
# "Video Setup" widen the window to the layout's wide width and "<<" or "Video Setup" narrow it
# to its narrow width, rounded as the launcher rounds; only the width changes. The window opens
# narrow with the layout's client area, owned by a hidden window (no taskbar button).
# All that while a long start-up sound plays: the sound plays in the background and the window
# keeps answering. And the sound really plays: Wine's ALSA driver, its default device writing
# what it plays to a file, receives the wave's samples byte for byte. The test runs in a prefix
# with the audio on and that resolution (made on first use, shared with the planted-DLL test), so
# that the other tests keep theirs.
DPI=106 SOUND=1
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
command -v sox >/dev/null || die "sox is missing (bash tools/install-deps.sh installs it)"

# The start-up sound made 80 times as long (2 minutes; Wine plays it about 4 times as fast).
wav=$REPO/demo/vantu2.wav
sox "$wav" "$WORK/long.wav" repeat 79 || die "sox could not make a long sound from $wav"
wave_samples "$WORK/long.wav" "$WORK/samples.raw"
one_sound=$(($(size_of "$wav") - 44))
whole=$(size_of "$WORK/samples.raw")
played_one_sound() { [ "$(size_of "$PLAYED")" -ge "$one_sound" ]; }

make_game toggle "$TYPICAL_CONFIG"
cp "$WORK/long.wav" "$GAME/vantu2.wav"
wide=$WIDE_WIDTH narrow=$NARROW_WIDTH
drive_async "${LAUNCH[@]}" state opened pause-until "$WORK/sound-heard" "$WINDOW_LIMIT" \
    click button "Video Setup" wait-width "$wide" "$WAIT_LIMIT" state wide \
    click static "<<" wait-width "$narrow" "$WAIT_LIMIT" state narrowed \
    click button "Video Setup" wait-width "$wide" "$WAIT_LIMIT" state wide-again \
    click button "Video Setup" wait-width "$narrow" "$WAIT_LIMIT" state narrowed-again \
    pause-until "$WORK/toggled" "$WINDOW_LIMIT"

wait_paused "$WORK/sound-heard"
wait_until "$WAIT_LIMIT" played_one_sound || check_failed "no sound played ($(size_of "$PLAYED") bytes)"
touch "$WORK/sound-heard"
wait_paused "$WORK/toggled"
heard=$(size_of "$PLAYED")
log "$heard of the sound's $whole bytes played by the end of the clicks"
[ "$heard" -lt "$whole" ] || check_failed "the sound had ended before the clicks were answered"
cmp -s -n "$heard" "$PLAYED" "$WORK/samples.raw" ||
    check_failed "what was played is not the wave's samples: $(cmp -n "$heard" "$PLAYED" "$WORK/samples.raw")"
touch "$WORK/toggled"
drive_wait || true

expect_eq "client area at opening" "$(value opened.client)" "$CLIENT_WIDTH $CLIENT_HEIGHT"
expect_eq "owner" "$(value opened.owner)" hidden
read -r x y w h <<<"$(value opened.window)"
[ "$w" -lt "$wide" ] || check_failed "opening width $w is not narrow"
for state in wide:$wide narrowed:$narrow wide-again:$wide narrowed-again:$narrow; do
    label=${state%%:*}
    expect_eq "$label window (x y width height)" "$(value "$label.window")" \
        "$x $y ${state##*:} $h"
    expect_eq "$label client height" "$(value "$label.client" | cut -d' ' -f2)" "$CLIENT_HEIGHT"
done
finish
