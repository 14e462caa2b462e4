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
# the wineserver is kept up between programs, with no timeout of its own, and
# tools/wine-session-keeper.sh ends it with its Xvfb VANTU_WINESERVER_LINGER seconds (default 30)
# after the session's last user let go. A user is whatever runs Wine programs in the session: it
# opens PREFIX.users on its descriptor 8 before it calls this script (`8>>PREFIX.users`), this
# script takes a shared lock on it once the session is there, and the session lasts while that
# descriptor stays open. The lock is taken here, under PREFIX.lock, so the session cannot end
# between this script's look at it and the user's first program. Wine programs are started with
# descriptor 8 closed (`8>&-`): a program can start Wine's background services, which live as
# long as the wineserver, and with the descriptor they would hold the session for ever.
# tools/wine-run.sh, the Windows end-to-end tests and the benchmarks are users; without
# descriptor 8 the caller only gets the display.
#
# Two things about the session are fixed when it starts and hold for every program in it, so
# they are set up here, before any program:
# - its X display: the desktop process starts with the first program and keeps that program's
#   display, so windows fail to open in a session begun without one. The session's Xvfb
#   (VANTU_WINE_SCREEN, default 1024x768x24, no window manager) serves console programs and
#   programs with windows alike; the caller's DISPLAY is not used. A session whose Xvfb or
#   keeper is gone is ended and replaced by a new one.
# - its output: the background services keep the first program's standard output and error
#   open for as long as the wineserver lives, so a first program started by ctest would keep
#   ctest waiting for that output to close. The first program here writes to /dev/null.
# Programs of one session share one Windows desktop: FindWindow sees the windows of all.
#
# On standard error it says what it found: the prefix, the display, the Xvfb's process and
# whether the session was new, joined or replaced (and why), so that a failing test's output
# names the session it ran in.
#
# Concurrent calls (ctest -j) wait for each other on PREFIX.lock beside the prefix, and for a
# keeper that is ending the session.
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
for tool in wine wineboot wineserver Xvfb flock setsid stat; do
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
tools=$(dirname "${BASH_SOURCE[0]}")

mkdir -p "$(dirname "$prefix")"
# Every process started below closes descriptors 9 and 8, or it would hold the prefix's lock, or
# the session for the caller, for its life.
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
            end_session
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
    } </dev/null >"$log" 2>&1 8>&- 9>&- || {
        cat "$log" >&2
        die "making the prefix failed (log above)"
    }
    cp -- "$fonts"/* "$prefix/drive_c/windows/Fonts/"
    echo "$made_for" >"$ready"
    echo "wine-prefix: made $prefix in $((SECONDS - start)) s" >&2
}

# Ends the recorded session's keeper (with what it waits in: it leads a process group) and its
# Xvfb, and removes the record.
forget_session() {
    local display="" xvfb="" keeper=""
    [ -f "$session" ] || return 0
    read -r display xvfb keeper <"$session" || true
    [ -z "$keeper" ] || kill -- "-$keeper" 2>/dev/null || kill "$keeper" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -f -- "$session"
}

# Ends the prefix's session, whatever state it is in: the above, every Wine program and the
# wineserver.
end_session() {
    forget_session
    wineserver -k >/dev/null 2>&1 8>&- 9>&- || true
}

# Starts a session: the wineserver, with no timeout (the keeper ends it), its Xvfb, the first
# program and the keeper. Returns 1 when a wineserver runs already.
start_session() {
    local status=0 keeper
    wineserver -p </dev/null >/dev/null 2>&1 8>&- 9>&- || status=$?
    case $status in
        0) ;;
        2) return 1 ;; # one runs already
        *) die "wineserver did not start (status $status)" ;;
    esac
    # A record left by a session whose wineserver and keeper were killed.
    forget_session
    # The session's Xvfb, detached from the caller (its own session, no inherited output).
    xvfb_start "$prefix/.vantu-xvfb" "$screen" setsid 8>&- 9>&- || {
        wineserver -k 8>&- 9>&-
        die "Xvfb did not start"
    }
    DISPLAY=$XVFB_DISPLAY XAUTHORITY=/dev/null wine cmd /c exit </dev/null >/dev/null 2>&1 8>&- 9>&- || {
        kill "$XVFB_PID" 2>/dev/null
        wineserver -k 8>&- 9>&-
        die "the first program of the session failed"
    }
    setsid "$tools/wine-session-keeper.sh" "$prefix" "$XVFB_DISPLAY" "$XVFB_PID" "$linger" \
        </dev/null >/dev/null 2>&1 8>&- 9>&- &
    keeper=$!
    echo "$XVFB_DISPLAY $XVFB_PID $keeper" >"$session"
}

# What the session's record and processes look like now: empty when the session can be joined,
# else why not.
session_trouble() {
    local display xvfb keeper
    [ -f "$session" ] || {
        echo "no session of ours"
        return
    }
    read -r display xvfb keeper <"$session" || true
    if [ "$(cat "/proc/$xvfb/comm" 2>/dev/null)" != Xvfb ]; then
        echo "Xvfb (process $xvfb, display $display) was gone"
    elif [ ! -S "/tmp/.X11-unix/X${display#:}" ]; then
        echo "display $display had no socket"
    elif ! kill -0 "$keeper" 2>/dev/null; then
        echo "keeper (process $keeper) was gone"
    fi
}

if [ ! -f "$ready" ] || [ "$(cat "$ready")" != "$made_for" ]; then
    make_prefix
fi

how=new
if ! start_session; then
    trouble=$(session_trouble)
    if [ "$trouble" = "no session of ours" ]; then
        # A wineserver that is not one of our sessions': started by a plain "wine" in this
        # prefix. Windows would not open in it: wait for it to end, or end it.
        echo "wine-prefix: a wineserver without a display runs for $prefix; waiting for it to end" >&2
        timeout 30 wineserver -w 8>&- 9>&- || wineserver -k 8>&- 9>&- || true
        how="new (a wineserver without a display ran)"
    elif [ -n "$trouble" ]; then
        end_session
        how="new (in place of a session whose $trouble)"
    else
        how=joined
    fi
    [ "$how" = joined ] || start_session ||
        die "the wineserver of $prefix did not end: WINEPREFIX=$prefix wineserver -k"
fi
read -r display xvfb keeper <"$session"
# The caller's descriptor 8 on PREFIX.users makes it a user: the session lasts while it is open.
if [ /dev/fd/8 -ef "$prefix.users" ]; then
    flock -s 8
    echo "$$" >&8
    held="held by the caller"
else
    held="not held (no descriptor 8 on $prefix.users)"
fi
echo "wine-prefix: $how session of $prefix: display $display, Xvfb process $xvfb (alive), keeper $keeper; $held" >&2
echo "$display"
