# shellcheck shell=bash
# The private X server of the end-to-end tests, the Wine sessions (tools/wine-prefix.sh) and the
# Linux start-up benchmark, which source this file and call:
#
#   xvfb_start STEM SCREEN [WRAPPER...]   -> sets XVFB_PID and XVFB_DISPLAY (":N")
#
# It starts Xvfb in the background with one screen of SCREEN (WIDTHxHEIGHTxDEPTH), run through
# the WRAPPER words when given (setsid detaches it), its output in STEM.log. Xvfb picks a free
# display number itself (-displayfd, through STEM.display) and writes it once it accepts
# connections, so that servers can run side by side. It must not reset when its last client
# leaves: a connection attempt during a reset fails. When the server does not answer within
# 60 s (a bound for a hang: a busy machine may take seconds) it is ended, and the function returns 1 with the log on standard error.
# shellcheck disable=SC2034  # XVFB_DISPLAY is the caller's
xvfb_start() {
    local number="" i
    : >"$1.display"
    "${@:3}" Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp -noreset 3>"$1.display" \
        </dev/null >"$1.log" 2>&1 &
    XVFB_PID=$!
    for ((i = 0; i < 1200; i++)); do
        number=$(head -n 1 "$1.display")
        [[ ! "$number" =~ ^[0-9]+$ ]] || break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    rm -f -- "$1.display"
    if [[ ! "$number" =~ ^[0-9]+$ ]]; then
        kill "$XVFB_PID" 2>/dev/null
        cat "$1.log" >&2
        return 1
    fi
    XVFB_DISPLAY=:$number
}
