#!/usr/bin/env bash
# Makes a private Wine prefix for the launcher's Windows programs, or reuses it when it is
# complete, and starts (or joins) its session: a wineserver that stays up between programs and
# a private Xvfb that every program of the session shows its windows on. Prints the session's
# X display (":N") on standard output.
#
#   tools/wine-prefix.sh PREFIX [DPI]
#
# The prefix: a new one (about 15 s, 700 MB) gets Wine's own fonts in C:\windows\Fonts
# (without them "MS Sans Serif" falls back to a huge font), no audio driver (no "ALSA lib"
# noise on machines without a sound device), no crash dialog (a crashing program ends instead
# of waiting for a click) and the screen resolution DPI (default 96; LogPixels). The file
# .vantu-ready, written last and holding the Wine version and the DPI, marks it complete: a
# prefix without it (an interrupted set-up) or made by another Wine version or for another DPI
# is made again. A folder this script did not make is never removed.
#
# The DPI is set while the prefix is made, before any session: Wine 10 reads it once for a
# session (a wineserver's life), so a LogPixels written into a running session reaches none of
# its programs, not even after its desktop process is restarted (Wine 8 read it again for each
# new program).
#
# The session: starting a wineserver and Wine's background services costs about 2.5 s, so
# the wineserver is kept up until VANTU_WINESERVER_LINGER seconds (default 30) after the
# session's last program ends, and then ends with its Xvfb. Two things about it are fixed when
# it starts and hold for every program in it, so they are set up here, before any program:
# - its X display: the desktop process starts with the first program and keeps that program's
#   display, so windows fail to open in a session begun without one. The session's Xvfb
#   (VANTU_WINE_SCREEN, default 1024x768x24, no window manager) serves console programs and
#   programs with windows alike; the caller's DISPLAY is not used.
# - its output: the background services keep the first program's standard output and error
#   open for as long as the wineserver lives, so a first program started by ctest would keep
#   ctest waiting for that output to close. The first program here writes to /dev/null.
# Programs of one session share one Windows desktop: FindWindow sees the windows of all.
#
# Concurrent calls (ctest -j) wait for each other on PREFIX.lock beside the prefix.
#
# Wine runs in the environment of tools/wine-env.sh (WINEPREFIX=PREFIX, HOME=PREFIX/home, ...),
# here without a display.
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
# shellcheck source=xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

die() {
    echo "wine-prefix: $*" >&2
    exit 1
}

if [ $# -lt 1 ] || [ $# -gt 2 ] || [ -z "$1" ] || ! [[ "${2:-96}" =~ ^[1-9][0-9]*$ ]]; then
    die "usage: wine-prefix.sh PREFIX [DPI]"
fi
for tool in wine wineboot wineserver Xvfb flock setsid; do
    command -v "$tool" >/dev/null || die "$tool is missing (bash tools/install-deps.sh installs it)"
done

prefix=$(realpath -m -- "$1")
wine_env "$prefix"
linger=${VANTU_WINESERVER_LINGER:-30}
screen=${VANTU_WINE_SCREEN:-1024x768x24}
readonly fonts=/usr/share/wine/fonts
readonly ready=$prefix/.vantu-ready
readonly owner_tag=$prefix/.vantu-prefix
readonly session=$prefix/.vantu-session

mkdir -p "$(dirname "$prefix")"
# Every process started below closes descriptor 9, or it would hold the lock for its life.
exec 9>"$prefix.lock"
flock 9

wine_version=$(wine --version 2>/dev/null) || die "wine --version failed"
readonly dpi=${2:-96}
readonly made_for="$wine_version dpi=$dpi"

make_prefix() {
    local start=$SECONDS log
    if [ -e "$prefix" ]; then
        # Only a folder this script made (or an empty one) is removed.
        if [ -f "$owner_tag" ] || [ -z "$(ls -A "$prefix" 2>/dev/null)" ]; then
            wineserver -k >/dev/null 2>&1 9>&- || true
            rm -rf -- "$prefix"
        else
            die "$prefix exists and was not made by this script: remove it or pick another"
        fi
    fi
    [ -d "$fonts" ] || die "$fonts is missing (the package fonts-wine has it)"
    echo "wine-prefix: making $prefix (about 15 s)" >&2
    mkdir -p "$prefix" "$HOME"
    echo "made by tools/wine-prefix.sh" >"$owner_tag"
    log=$prefix/make-prefix.log

    # The programs started here end with the wineserver; -w waits for it.
    {
        wineboot -i &&
            wineserver -w &&
            wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f &&
            wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
            wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f &&
            wineserver -w
    } </dev/null >"$log" 2>&1 9>&- || {
        cat "$log" >&2
        die "making the prefix failed (log above)"
    }
    cp -- "$fonts"/* "$prefix/drive_c/windows/Fonts/"
    echo "$made_for" >"$ready"
    echo "wine-prefix: made $prefix in $((SECONDS - start)) s" >&2
}

start_session() {
    local status=0
    wineserver -p"$linger" </dev/null >/dev/null 2>&1 9>&- || status=$?
    case $status in
        0) ;;
        2) return 1 ;; # one runs already
        *) die "wineserver did not start (status $status)" ;;
    esac
    # The session's Xvfb, detached from the caller (its own session, no inherited output).
    xvfb_start "$prefix/.vantu-xvfb" "$screen" setsid 9>&- || die "Xvfb did not start"
    echo "$XVFB_DISPLAY $XVFB_PID" >"$session"
    # Ends the Xvfb once the wineserver has ended, and forgets the session unless a newer one
    # has replaced it meanwhile.
    # shellcheck disable=SC2016  # expanded by the inner shell
    setsid bash -c '
        wineserver -w
        kill "$1" 2>/dev/null
        exec 9>"$2.lock"
        flock 9
        [ "$(cat "$3" 2>/dev/null)" != "$4 $1" ] || rm -f -- "$3"
    ' session-end "$XVFB_PID" "$prefix" "$session" "$XVFB_DISPLAY" </dev/null >/dev/null 2>&1 9>&- &
    DISPLAY=$XVFB_DISPLAY XAUTHORITY=/dev/null wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- ||
        die "the first program of the session failed"
}

# A running session is reused when it is one of ours and its Xvfb is alive.
session_alive() {
    local display pid
    [ -f "$session" ] || return 1
    read -r display pid <"$session" || return 1
    kill -0 "$pid" 2>/dev/null || return 1
    [ -S "/tmp/.X11-unix/X${display#:}" ]
}

if [ ! -f "$ready" ] || [ "$(cat "$ready")" != "$made_for" ]; then
    make_prefix
fi

if ! start_session; then
    if ! session_alive; then
        # A wineserver without a usable display: started by a plain "wine" in this prefix, or
        # its Xvfb is gone. Windows would not open in it: wait for it to end, or end it.
        echo "wine-prefix: a wineserver without a display runs for $prefix; waiting for it to end" >&2
        timeout 30 wineserver -w 9>&- || wineserver -k 9>&- || true
        start_session || die "the wineserver of $prefix did not end: WINEPREFIX=$prefix wineserver -k"
    fi
fi
read -r display _ <"$session"
echo "$display"
