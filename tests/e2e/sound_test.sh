#!/usr/bin/env bash
# The start-up sound: vantu2.wav from the game folder is played in the background while the
# window is already up. SDL's "disk" audio driver writes what it plays to a file, paced like a
# real device (padding buffers with silence), so the test can look for the WAV's samples there.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_xvfb

[ -n "$DEMO_DIR" ] || die "--demo-dir is needed for vantu2.wav"
wav="$DEMO_DIR/vantu2.wav"
wave_samples "$wav" "$WORK/samples.raw"
data_size=$(size_of "$WORK/samples.raw")
# The samples as " xx" per byte, so a match can only start on a byte.
od -An -v -tx1 "$WORK/samples.raw" | tr -d '\n' >"$WORK/samples.hex"
holds_samples() { od -An -v -tx1 "$1" | tr -d '\n' | grep -qF -f "$WORK/samples.hex"; }

# Starts the launcher in a new game folder NAME with the sound WAV, SDL writing what it plays to
# $out ($WORK/NAME.raw), and waits for its window.
#   launch_playing NAME WAV
launch_playing() {
    make_game "$1" "$TYPICAL_CONFIG"
    cp "$2" "$GAME/vantu2.wav"
    out=$WORK/$1.raw
    launch "$GAME" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out"
    find_main_window
}

log "the whole sound is played while the window is open"
launch_playing sound "$wav"
played=$(size_of "$out")
log "window up with $played of the sound's $data_size bytes played"
[ "$played" -lt "$data_size" ] || check_failed "the window appeared only after the sound ended"
wait_until "$WAIT_LIMIT" holds_samples "$out" ||
    check_failed "the played output never held the samples of vantu2.wav"
log "played output: $(size_of "$out") bytes"
alive "$LAUNCHER_PID" || check_failed "the launcher ended on its own"
close_window closing

log "closing the window while the sound plays"
launch_playing sound-cut "$wav"
wait_until "$WAIT_LIMIT" test -s "$out" || check_failed "the sound did not start"
start=$(now_us)
close_window "closing during the sound"
log "closed in $((($(now_us) - start) / 1000)) ms while the sound played (polled every ${POLL} s)"
# Closing ends the launcher and with it the sound: it does not wait for the sound to play out.
played=$(size_of "$out")
log "ended with $played bytes played"
[ "$played" -lt "$data_size" ] || check_failed "the launcher played the whole sound before ending"

# The window closed at many moments of a long sound: the launcher ends at once with status 0
# while the sound's thread is still busy in SDL (playing, closing the device, shutting SDL down),
# and no sanitizer of the sanitizer build reports anything about that thread or SDL
# (VANTU_SOUND_CLOSES=N sets the number of closes).
closes=${VANTU_SOUND_CLOSES:-25}
log "closing the window $closes times while a 9 s sound plays"
command -v sox >/dev/null || die "sox is missing (bash tools/install-deps.sh installs it)"
sox "$wav" "$WORK/long.wav" repeat 5 || die "sox could not make a long sound from $wav"
for ((i = 0; i < closes; i++)); do
    launch_playing "sound-close-$i" "$WORK/long.wav"
    wait_until "$WAIT_LIMIT" test -s "$out" || check_failed "close $i: the sound did not start"
    # From at once to 0.2 s into the sound, so the close meets the thread at different points.
    sleep "$(printf '0.%02d' $((i % 5 * 5)))"
    close_window "close $i during the sound"
    check_no_sanitizer_report "$WORK/launcher-$LAUNCH_COUNT.log"
    [ "$(size_of "$out")" -lt "$(size_of "$WORK/long.wav")" ] ||
        check_failed "close $i: the sound had ended before the window closed"
done

# Neither a pipe nor a huge file is read: silence, and closing the window ends the launcher at
# once (a player waiting on the pipe, or reading gigabytes, would hold the launcher up).
log "a pipe or a 1.5 GB file named vantu2.wav"
for kind in pipe huge; do
    make_game "sound-$kind" "$TYPICAL_CONFIG"
    if [ "$kind" = pipe ]; then
        mkfifo "$GAME/vantu2.wav"
    else
        cp "$wav" "$GAME/vantu2.wav"
        truncate -s 1536M "$GAME/vantu2.wav"
    fi
    launch "$GAME"
    find_main_window
    sleep 0.5
    peak_kib=$(awk '/^VmHWM:/ {print $2}' "/proc/$LAUNCHER_PID/status")
    start=$(now_us)
    close_window "$kind"
    log "$kind: closed in $((($(now_us) - start) / 1000)) ms (polled every ${POLL} s), peak memory ${peak_kib} KiB"
    [ "$peak_kib" -lt 262144 ] || check_failed "$kind: the launcher grew to $peak_kib KiB"
done

log "Play while the sound plays"
launch_playing sound-play "$wav"
click "$WIN" "$PLAY_X" "$PLAY_Y"
expect_exit "Play during the sound"
expect_args -nc -d v3 -d saveme
finish
