# shellcheck shell=bash
# The environment every Windows program of the project runs in under Wine. Sourced by
# tools/wine-prefix.sh, tools/wine-run.sh, the Windows end-to-end tests and the Windows start-up
# benchmark, which then call:
#
#   wine_env PREFIX [DISPLAY]
#
# It exports WINEPREFIX=PREFIX (so the user's ~/.wine is never made or used), HOME=PREFIX/home
# (or VANTU_WINE_HOME), WINEDEBUG=-all unless it is set, and WINEDLLOVERRIDES: no Mono or Gecko
# installer, no menu entries or file associations written for the desktop. With DISPLAY (the
# session's Xvfb, see tools/wine-prefix.sh) it exports that display with XAUTHORITY=/dev/null:
# Xvfb takes every local client without a cookie, so the user's is kept out of the way. Without
# it there is no display.
wine_env() {
    export WINEPREFIX=$1
    export HOME=${VANTU_WINE_HOME:-$1/home}
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
    if [ -n "${2:-}" ]; then
        export DISPLAY=$2 XAUTHORITY=/dev/null
    else
        unset DISPLAY
    fi
}

# A program of the session that holds a hidden window open, so that Wine's desktop process does
# not end and start again between the programs a benchmark times: the driver's "hold", which
# keeps its window until its standard input closes.
#
#   start_wine_keeper DRIVER LOG    starts it and waits up to 30 s until it says whether it holds
#                                   (its first line in LOG: holding=yes); sets keeper_pid
#   stop_wine_keeper                closes its input and waits for it (nothing when not started)
start_wine_keeper() {
    exec {wine_keeper_fd}> >(exec wine "$1" hold >"$2" 2>&1 8>&-)
    keeper_pid=$!
    for _ in $(seq 300); do
        grep -q '^holding=' "$2" 2>/dev/null && break
        sleep 0.1
    done
}
stop_wine_keeper() {
    [ -n "${keeper_pid:-}" ] || return 0
    exec {wine_keeper_fd}>&-
    wait "$keeper_pid" 2>/dev/null
    keeper_pid=""
}
