#!/usr/bin/env bash
# A game folder anyone may write to: DLLs planted beside the launcher under the names of the
# system DLLs that it, the common controls and the sound load are never loaded, through the
# start, "Video Setup", the start-up sound and "Play". By default Wine takes its own copy of such
# a DLL whatever the folder holds; an override for the launcher makes it search as Windows does,
# the program's folder first. The executable itself imports only DLLs that Windows always takes
# from its system folder.
# The same holds on the loader of Windows 7 and Vista without update KB2533623, which cannot
# limit the search to the system folder (vantu-fault-launcher.exe with the fault old-loader),
# and the launcher works there: it opens, the sound reaches the audio output (a prefix with
# Wine's audio on), "Video Setup" widens the window and "Play" starts the game.
# What this cannot show: on that old loader, the DLLs of Windows itself (the common controls, the
# sound's) may later load further DLLs by bare name, which are then searched for in the game
# folder first. Wine's built-in DLLs load theirs by other means, so a run under Wine passes
# whether or not Windows 7 would load such a planted DLL; the README warns of it.
DPI=106 SOUND=1
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
for file in "$PLANTED_DLL" "$FAULT_LAUNCHER"; do
    [ -f "$file" ] || die "missing '$file' (build the windows preset)"
done

# The imports: nothing but the known DLLs.
objdump=$(command -v x86_64-w64-mingw32-objdump) || die "x86_64-w64-mingw32-objdump is missing"
imports=$("$objdump" -p "$LAUNCHER" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr '[:upper:]' '[:lower:]' | sort -u | tr '\n' ' ')
log "imports: $imports"
for dll in $imports; do
    case "$dll" in
        kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | advapi32.dll) ;;
        *) check_failed "the launcher imports $dll, which Windows may load from its folder" ;;
    esac
done

# The DLLs that are no known DLLs of Windows (those come from the system folder whatever the
# program's folder holds) and that the launcher, the common controls, the sound or the pads load.
readonly PLANTED=(comctl32 uxtheme winmm msacm32 msimg32 mmdevapi shcore dwmapi
    xinput1_4 xinput9_1_0 hid)
readonly OVERRIDES='HKCU\Software\Wine\AppDefaults\vantu-launcher.exe\DllOverrides'
for dll in "${PLANTED[@]}"; do
    wine reg add "$OVERRIDES" /v "$dll" /d native,builtin /f </dev/null >>"$WORK/reg.out" 2>&1 ||
        die "cannot set the DLL override for $dll"
done
wave_samples "$REPO/demo/vantu2.wav" "$WORK/samples.raw"
sound=$(size_of "$WORK/samples.raw")
played_or_ended() { [ "$(size_of "$PLAYED")" -ge "$sound" ] || ! kill -0 "$DRIVE_PID" 2>/dev/null; }
for loader in current old; do
    make_game "planted-$loader" "$TYPICAL_CONFIG"
    fault=""
    if [ "$loader" = old ]; then
        cp "$FAULT_LAUNCHER" "$GAME/vantu-launcher.exe"
        fault=old-loader
    fi
    cp "$REPO/demo/vantu2.wav" "$GAME/"
    for dll in "${PLANTED[@]}"; do
        cp "$PLANTED_DLL" "$GAME/$dll.dll"
    done
    rm -f "$PLAYED"
    # Wine lists each DLL it loads: XInput, which the launcher loads once its window has shown,
    # must be among them, from the system folder.
    VANTU_FAULT=$fault WINEDEBUG=+loaddll drive_async "${LAUNCH[@]}" \
        pause-until "$WORK/heard-$loader" "$WINDOW_LIMIT" \
        click button "Video Setup" wait-width "$WIDE_WIDTH" "$WAIT_LIMIT" \
        click button Play wait-exit "$WAIT_LIMIT"
    wait_until "$WINDOW_LIMIT" played_or_ended || true
    cmp -s -n "$sound" "$PLAYED" "$WORK/samples.raw" || check_failed \
        "$loader loader: the start-up sound was not played ($(size_of "$PLAYED") of $sound bytes)"
    touch "$WORK/heard-$loader"
    if drive_wait; then
        wait_until "$WAIT_LIMIT" test -e "$RECORD/startup" ||
            check_failed "$loader loader: the game was not started"
    fi
    grep -qi 'Loaded L"C:.*system32.*xinput1_4\.dll"' "$WORK/drive-$DRIVE_COUNT.err" ||
        check_failed "$loader loader: the launcher did not load XInput from the system folder"
    loaded=$(cd "$GAME" && find . -name '*.loaded' -printf '%f ')
    [ -z "$loaded" ] || check_failed "$loader loader: planted DLLs ran in the launcher: $loaded"
done
wine reg delete "$OVERRIDES" /f </dev/null >>"$WORK/reg.out" 2>&1 || true
finish
