# shellcheck shell=bash
# shellcheck disable=SC2034  # LAUNCH, PLAYED ... are for the tests
# What the Windows end-to-end tests add to tests/support/e2e_common.sh: the options ctest passes
# (see CMakeLists.txt), a private work folder, the Wine prefix's session (its wineserver and its
# Xvfb without a window manager, from tools/wine-prefix.sh), game folders, and win-driver.exe,
# which plays the player from another process (see driver.cpp for its commands), each of its
# waits bounded; every program the test started ends with it.

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../support/e2e_common.sh
source "$REPO/tests/support/e2e_common.sh"
# shellcheck source=../../tools/wine-env.sh
source "$REPO/tools/wine-env.sh"
LAUNCHER="" STUB="" DRIVER="" PREFIX="" BACKGROUND="" FAULT_LAUNCHER="" PLANTED_DLL=""
SCRIPTED_XINPUT=""
parse_options launcher stub driver prefix background fault-launcher planted-dll scripted-xinput \
    -- "$@"

# The first window in a fresh prefix can take over 10 s, and a busy machine makes it longer: the
# bounds catch hangs. DRIVE_LIMIT bounds a whole driver run.
readonly WINDOW_LIMIT=120 DRIVE_LIMIT=600
readonly STARTF_USESHOWWINDOW=1 SW_SHOWMINIMIZED=2

require_tools wine timeout
for file in "$LAUNCHER" "$STUB" "$DRIVER"; do
    [ -f "$file" ] || die "missing '$file' (build the windows preset)"
done
[ -n "$PREFIX" ] || die "no --prefix"

start_work vantu-wine-e2e '*.err' 20

# Ends the Windows programs of this test that are still running (a driver killed by its time
# bound leaves the launcher behind): their command lines name the work folder.
# shellcheck disable=SC2317  # called when the test ends
end_processes() {
    local pid
    for pid in $(grep -lsF -- "$(basename "$WORK")" /proc/[0-9]*/cmdline | cut -d/ -f3); do
        [ "$pid" != $$ ] && kill -KILL "$pid" 2>/dev/null
    done
    return 0
}

# A test that needs another screen resolution sets DPI before it sources this file: it then
# runs in a prefix of its own, made at that resolution, so that no test running at the same
# time in the shared prefix sees it.
DPI=${DPI:-96}
# A test that listens to the start-up sound sets SOUND=1 likewise: its prefix has Wine's audio
# on (ALSA), and the default device writes what is played to $PLAYED, byte for byte.
SOUND=${SOUND:-0}
[ "$SOUND" = 0 ] || PREFIX=$PREFIX-sound
# A test that plays with a pad sets PAD=1 likewise: its prefix's system folder holds the
# scripted XInput (scripted_xinput.cpp), which the launcher loads as the system's; the test
# writes the pad's script to $PAD_SCRIPT.
PAD=${PAD:-0}
[ "$PAD" = 0 ] || PREFIX=$PREFIX-pad
[ "$DPI" = 96 ] || PREFIX=$PREFIX-${DPI}dpi
load_layout "$LAUNCHER" "$DPI"

# The session's X display is fixed when its wineserver starts (Wine's desktop process keeps
# the first program's display): every program of the test runs on it, in the environment that
# tools/wine-prefix.sh gives Wine.
# The test is a user of the session for its whole life (descriptor 8 on PREFIX.users, see
# tools/wine-prefix.sh): the session and its display stay up until it ends. Its Wine programs
# run without that descriptor, through wine() below or with 8>&-.
started=$(now_us)
mkdir -p "$(dirname "$PREFIX")"
exec 8>>"$PREFIX.users"
# The prefix is made at the test's resolution.
display=$(bash "$REPO/tools/wine-prefix.sh" "$PREFIX" "$DPI" 2>"$WORK/prefix.err") || {
    cat "$WORK/prefix.err" >&2
    die "no Wine session for $PREFIX"
}
[[ "$display" =~ ^:[0-9]+$ ]] || die "no X display from tools/wine-prefix.sh: '$display'"
wine_env "$PREFIX" "$display"
log "Wine ready: $((($(now_us) - started) / 1000)) ms"
log "$(grep '^wine-prefix: .* session of' "$WORK/prefix.err")"
wine() { command wine "$@" 8>&-; }

# What a failing test says about the session it ran in: its display and Xvfb now.
session_state() {
    local display xvfb keeper state=alive
    read -r display xvfb keeper <"$PREFIX/.vantu-session" 2>/dev/null ||
        { echo "the session's record $PREFIX/.vantu-session is gone"; return; }
    [ "$(cat "/proc/$xvfb/comm" 2>/dev/null)" = Xvfb ] || state=gone
    echo "the session of $PREFIX now: display $display, Xvfb process $xvfb $state," \
        "keeper $keeper $(kill -0 "$keeper" 2>/dev/null && echo alive || echo gone)"
}
if [ "$SOUND" != 0 ]; then
    if [ ! -e "$PREFIX/.vantu-audio" ]; then
        wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f </dev/null \
            >"$WORK/reg.out" 2>&1 || die "cannot turn Wine's audio on"
        touch "$PREFIX/.vantu-audio"
    fi
    PLAYED=$WORK/played.raw
    printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$PLAYED" \
        >"$HOME/.asoundrc"
fi

if [ "$PAD" != 0 ]; then
    [ -f "$SCRIPTED_XINPUT" ] || die "missing the scripted XInput '$SCRIPTED_XINPUT'"
    cp "$SCRIPTED_XINPUT" "$PREFIX/drive_c/windows/system32/xinput1_4.dll"
    wine reg add 'HKCU\Software\Wine\AppDefaults\vantu-launcher.exe\DllOverrides' \
        /v xinput1_4 /d native /f </dev/null >"$WORK/reg.out" 2>&1 ||
        die "cannot have the launcher take the scripted XInput"
    PAD_SCRIPT=$WORK/pad-script
    export VANTU_PAD_SCRIPT="Z:$PAD_SCRIPT"
fi

# A game folder as a player has it: the launcher copied in beside the stand-in game, and
# xconfig.dat with the given bytes (none for the single word NONE). The game's record goes to
# a folder outside it. LAUNCH: the driver's start of the launcher there, then its window;
# PLAY_LAUNCH: its start there with --play.
#   make_game NAME CONTENT  -> sets GAME, RECORD, LAUNCH and PLAY_LAUNCH
make_game() {
    game_folders "$1" "$2"
    cp "$LAUNCHER" "$GAME/vantu-launcher.exe"
    cp "$STUB" "$GAME/vantu.exe"
    LAUNCH=(start "$GAME/vantu-launcher.exe" "$GAME" window "$MAIN_TITLE" "$WINDOW_LIMIT")
    PLAY_LAUNCH=(start-play "$GAME/vantu-launcher.exe" "$GAME")
}

# Runs the driver with the given commands; its output stays in $DRIVEN (file) for value().
# Fails the test when the driver does (the reason is on its standard error).
drive() {
    local started
    started=$(now_us)
    drive_async "$@" && drive_wait "$started"
}

# Runs the driver in the background (it pauses with pause-until while the test looks at the
# screen); drive_wait collects it.
DRIVE_COUNT=0
drive_async() {
    DRIVE_COUNT=$((DRIVE_COUNT + 1))
    DRIVEN=$WORK/drive-$DRIVE_COUNT.out
    VANTU_STUB_RECORD=$RECORD timeout -k 5 "$DRIVE_LIMIT" wine "$DRIVER" "$@" \
        </dev/null >"$DRIVEN" 2>"$WORK/drive-$DRIVE_COUNT.err" 8>&- &
    DRIVE_PID=$!
}

# Collects the driver run in the background; fails the test when the driver failed. With the
# time the run started, logs how long it took.
#   drive_wait [STARTED_US]
drive_wait() {
    local status=0
    wait "$DRIVE_PID" || status=$?
    [ -z "${1:-}" ] || log "driver run $DRIVE_COUNT: $((($(now_us) - $1) / 1000)) ms"
    if [ "$status" -ne 0 ]; then
        cat "$WORK/drive-$DRIVE_COUNT.err" >&2
        check_failed "driver run $DRIVE_COUNT failed (status $status); $(session_state)"
        return 1
    fi
}

# Waits until the background driver has paused at PATH; dies when it ends or the bound passes.
wait_paused() {
    wait_until "$WINDOW_LIMIT" paused_or_ended "$1" && grep -q "^paused=$1" "$DRIVEN" && return 0
    cat "$WORK/drive-$DRIVE_COUNT.err" >&2
    die "the driver did not get to $1; $(session_state)"
}
paused_or_ended() { grep -q "^paused=$1" "$DRIVEN" || ! kill -0 "$DRIVE_PID" 2>/dev/null; }

# value KEY: what the last driver run printed for KEY (the last such line; the driver, a
# Windows console program, ends its lines with CR LF).
value() {
    awk -v key="$1=" '
        { sub(/\r$/, "") }
        index($0, key) == 1 { v = substr($0, length(key) + 1) }
        END { print v }' "$DRIVEN"
}

expect_eq() {  # what got expected
    [ "$2" = "$3" ] || check_failed "$1: got '$2', expected '$3'"
}

# Checks the game's command line byte for byte and that it was started minimised once.
expect_game_started() {
    local flags
    wait_game_started
    printf '%s' "$1" | cmp -s - "$RECORD/command-line" ||
        check_failed "command line: got '$(cat -A "$RECORD/command-line")', expected '$1'"
    flags=$(sed -n 's/^flags=//p' "$RECORD/startup")
    [ $((flags & STARTF_USESHOWWINDOW)) -ne 0 ] ||
        check_failed "STARTF_USESHOWWINDOW not set (flags $flags)"
    expect_eq "show state" "$(sed -n 's/^show=//p' "$RECORD/startup")" "$SW_SHOWMINIMIZED"
    [ ! -e "$RECORD/started-again" ] || check_failed "the game was started twice"
}
