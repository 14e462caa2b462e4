#!/usr/bin/env bash
# A game folder anyone may write to: DLLs planted beside the launcher under the names of the
# system DLLs that it and the common controls load are never loaded, through the start, "Video
# Setup", the start-up sound and "Play". By default Wine takes its own copy of such a DLL
# whatever the folder holds; an override for the launcher makes it search as Windows does, the
# program's folder first. The executable itself imports only DLLs that Windows always takes
# from its system folder.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
[ -f "$PLANTED_DLL" ] || die "missing '$PLANTED_DLL' (build the windows preset)"

# The imports: nothing but the known DLLs.
objdump=$(command -v x86_64-w64-mingw32-objdump) || die "x86_64-w64-mingw32-objdump is missing"
imports=$("$objdump" -p "$LAUNCHER" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
log "imports: $imports"
for dll in $imports; do
    case "$dll" in
        kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | advapi32.dll) ;;
        *) check_failed "the launcher imports $dll, which Windows may load from its folder" ;;
    esac
done

# The DLLs that are no known DLLs of Windows (those come from the system folder whatever the
# program's folder holds) and that the launcher, the common controls or the sound load.
readonly PLANTED=(comctl32 uxtheme winmm msacm32 msimg32 mmdevapi shcore dwmapi)
readonly OVERRIDES='HKCU\Software\Wine\AppDefaults\vantu-launcher.exe\DllOverrides'
for dll in "${PLANTED[@]}"; do
    wine reg add "$OVERRIDES" /v "$dll" /d native,builtin /f </dev/null >>"$WORK/reg.out" 2>&1 ||
        die "cannot set the DLL override for $dll"
done
make_game planted "$TYPICAL_CONFIG"
cp "$REPO/demo/vantu2.wav" "$GAME/"
for dll in "${PLANTED[@]}"; do
    cp "$PLANTED_DLL" "$GAME/$dll.dll"
done
launch_commands
drive "${LAUNCH[@]}" click button "Video Setup" wait-width 550 "$WAIT_LIMIT" sleep 300 \
    click button Play wait-exit "$WAIT_LIMIT" || true
wine reg delete "$OVERRIDES" /f </dev/null >>"$WORK/reg.out" 2>&1 || true
wait_game_started
loaded=$(cd "$GAME" && find . -name '*.loaded' -printf '%f ')
[ -z "$loaded" ] || check_failed "planted DLLs ran in the launcher: $loaded"
finish
