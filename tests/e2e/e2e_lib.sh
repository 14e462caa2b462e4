# shellcheck shell=bash
# shellcheck disable=SC2034  # GX, EXIT_STATUS, the control centres ... are for the tests
# What the Linux end-to-end tests add to tests/support/e2e_common.sh: the options ctest passes
# (--launcher, --demo-dir: the built demo folder, --background, --shots: where screenshots go,
# --monkey: the monkey driver, --orca: Orca, or VANTU_E2E_ORCA), a private work folder, a
# private Xvfb, window manager or Wayland compositor, the launcher run in a clean environment,
# its window seen through xdotool, and the end of all the test started, however it ends.

# shellcheck source=../support/e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e_common.sh"
# shellcheck source=../../tools/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/xvfb.sh"
LAUNCHER="" DEMO_DIR="" BACKGROUND="" SHOTS="" MONKEY="" ORCA=${VANTU_E2E_ORCA:-}
parse_options launcher demo-dir background shots monkey orca -- "$@"
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

require_tools Xvfb xdotool xwininfo xprop
[ -x "$LAUNCHER" ] || die "no launcher at '$LAUNCHER'"
load_layout "$LAUNCHER" 96

start_work vantu-e2e '*.log' 40
XVFB_PID=""
LAUNCHER_PID=""
# What the desktop session hands a launcher (NAME=VALUE words): where its display is, set by
# start_xvfb or start_wayland, and the session's D-Bus, which a real desktop always has (without
# one, Qt under mutter has libdbus start a bus of its own, which outlives the launcher).
SESSION_SETTINGS=()
# Processes the launcher started that are no children of ours (the demo game), ended at exit.
EXTRA_PIDS=()

alive() {
    local state
    state=$(sed -E 's/^[0-9]+ \(.*\) ([A-Za-z]).*/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
    [ "$state" != Z ] && [ "$state" != X ]
}

# Ends process $1: asks it to end, and kills it when it has not ended 2 s later.
stop_process() {
    alive "$1" || return 0
    kill -TERM "$1" 2>/dev/null || return 0
    wait_until 2 ended "$1" || kill -KILL "$1" 2>/dev/null || true
}

# Processes whose current folder or program lies in the work folder: launchers run in game
# folders there, and so do the games they start. One process id a line.
processes_in_work() {
    find /proc/[0-9]*/cwd /proc/[0-9]*/exe -maxdepth 0 -printf '%p %l\n' 2>/dev/null |
        LC_ALL=C awk -v work="$WORK" '
            { split($1, path, "/"); target = substr($0, length($1) + 2) }
            target == work || index(target, work "/") == 1 || target == work " (deleted)" {
                print path[3]
            }' | sort -u
}
no_process_in_work() { [ -z "$(processes_in_work)" ]; }

# Ends what the test started (called when it ends).
end_processes() {
    [ -n "$LAUNCHER_PID" ] && stop_process "$LAUNCHER_PID"
    local pid
    for pid in "${EXTRA_PIDS[@]}"; do stop_process "$pid"; done
    # Every process the test started ends with it. A game may take a moment to end after it has
    # recorded its start; anything else still running in the work folder was left behind.
    if ! wait_until "$WAIT_LIMIT" no_process_in_work; then
        for pid in $(processes_in_work); do
            check_failed "left running: process $pid, $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
            kill -KILL "$pid" 2>/dev/null
        done
    fi
    [ -n "$XVFB_PID" ] && stop_process "$XVFB_PID"
    wait 2>/dev/null
}

# The private X server (tools/xvfb.sh).
start_xvfb() {
    xvfb_start "$WORK/xvfb" 1024x768x24 || die "Xvfb did not start"
    DISPLAY=$XVFB_DISPLAY
    export DISPLAY
    # Xvfb takes every local client without a cookie; keep the developer's out of the way.
    export XAUTHORITY=/dev/null
    SESSION_SETTINGS=(DISPLAY="$DISPLAY" XAUTHORITY=/dev/null QT_QPA_PLATFORM=xcb)
}

# The desktop that VANTU_E2E_DESKTOP names (ctest sets it for the tests that run under several):
# unset, the private Xvfb with no window manager; "openbox", "mutter" or "kwin", that Xvfb with
# that window manager; "weston", "mutter-wayland" or "kwin-wayland", a Wayland compositor and no X
# server for the launcher.
start_desktop() {
    case "${VANTU_E2E_DESKTOP:-}" in
        "") start_xvfb ;;
        openbox | mutter | kwin) start_xvfb && start_window_manager "$VANTU_E2E_DESKTOP" ;;
        weston | mutter-wayland | kwin-wayland) start_wayland "${VANTU_E2E_DESKTOP%-wayland}" ;;
        *) die "unknown desktop VANTU_E2E_DESKTOP=$VANTU_E2E_DESKTOP" ;;
    esac
}

# A desktop's program (the command after NAME) in the background, in the work folder, so that
# the end-of-test check sees what it leaves running, with its own home and runtime folder $1;
# its output goes to $WORK/NAME.log.
#   start_in_work RUNTIME NAME COMMAND...
start_in_work() {
    require_tools "$3"
    mkdir -p "$WORK/home-$2" "$1" && chmod 700 "$1"
    (cd "$WORK" && exec env HOME="$WORK/home-$2" XDG_RUNTIME_DIR="$1" "${@:3}") \
        >"$WORK/$2.log" 2>&1 &
    EXTRA_PIDS+=($!)
}

# KDE's KWin asks the session's D-Bus for its global shortcuts service (kglobalaccel), which the
# bus starts with its own environment: under dbus-run-session that has no display, the service
# aborts at once and KWin asks again, over and over. It gets the test's display, and a home of its
# own for the shortcuts it writes.
#   kwin_session_environment NAME=VALUE...
kwin_session_environment() {
    mkdir -p "$WORK/home-kglobalaccel" "$WORK/kglobalaccel-runtime"
    chmod 700 "$WORK/kglobalaccel-runtime"
    dbus-update-activation-environment HOME="$WORK/home-kglobalaccel" \
        XDG_RUNTIME_DIR="$WORK/kglobalaccel-runtime" "$@" ||
        die "cannot hand the D-Bus session the test's display"
}

# A real window manager on the private Xvfb: Debian's openbox, or GNOME's mutter or KDE's KWin (in
# the test's D-Bus session). Returns once it announces itself on the root window.
#   start_window_manager openbox|mutter|kwin   -> WINDOW_MANAGER
start_window_manager() {
    case "$1" in
        openbox) start_in_work "$WORK/wm-runtime" openbox openbox ;;
        mutter) start_in_work "$WORK/wm-runtime" mutter mutter --x11 --replace --sm-disable ;;
        kwin)
            kwin_session_environment DISPLAY="$DISPLAY" XAUTHORITY=/dev/null
            start_in_work "$WORK/wm-runtime" kwin kwin_x11 --replace
            ;;
    esac
    WINDOW_MANAGER=$1
    require_tools wmctrl
    wait_until "$WAIT_LIMIT" wmctrl -m >/dev/null 2>&1 || die "$1 did not start"
    SESSION_SETTINGS+=(${DBUS_SESSION_BUS_ADDRESS:+"DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS"})
}

# A Wayland compositor instead of an X server: weston or GNOME's mutter headless, or KDE's KWin
# (both in the test's D-Bus session). Its socket is in the runtime folder that launch hands the
# launcher, as in a Wayland session; launchers then get WAYLAND_DISPLAY and no DISPLAY, no X11 to
# fall back on.
#   start_wayland weston|mutter|kwin
start_wayland() {
    case "$1" in
        weston)
            start_in_work "$WORK/runtime" weston weston --backend=headless-backend.so \
                --socket=vantu-wayland --width=1280 --height=1024 --idle-time=0
            ;;
        mutter)
            start_in_work "$WORK/runtime" mutter mutter --headless --wayland --no-x11 \
                --wayland-display=vantu-wayland --virtual-monitor 1280x1024
            ;;
        kwin)
            # Debian installs kwin_wayland with a file capability (KWin 5: cap_sys_resource, 6:
            # cap_sys_nice, for its scheduling), and a container that does not grant it refuses
            # to run the program at all ("Operation not permitted"); a copy without it, in the
            # work folder, runs everywhere.
            require_tools kwin_wayland
            mkdir -p "$WORK/kwin"
            cp "$(command -v kwin_wayland)" "$WORK/kwin/kwin_wayland"
            # It draws its screen into a window at the top-left corner of a private Xvfb, of which
            # the launcher is not told, so that a test can take screenshots there
            # (KWIN_X11_DISPLAY): KWin's own screenshots need OpenGL, which KWin 6 has in neither
            # of its headless ways to run here. What its scripts print goes to its log, where
            # kwin_window reads it.
            start_xvfb
            KWIN_X11_DISPLAY=$DISPLAY
            start_in_work "$WORK/runtime" kwin-wayland env QT_LOGGING_RULES=kwin_scripting.debug=true \
                "$WORK/kwin/kwin_wayland" --x11-display="$DISPLAY" --width=1024 --height=768 \
                --socket=vantu-wayland --no-lockscreen --no-global-shortcuts
            ;;
    esac
    wait_until "$WAIT_LIMIT" test -S "$WORK/runtime/vantu-wayland" || die "$1 did not start"
    unset DISPLAY
    SESSION_SETTINGS=(WAYLAND_DISPLAY=vantu-wayland
        ${DBUS_SESSION_BUS_ADDRESS:+"DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS"})
}

# KWin's own view of its active window on Wayland, where no X11 tool reaches the window: a KWin
# script, loaded through KWin's D-Bus scripting interface, prints the window's caption, whether it
# may be resized, its minimum and maximum client sizes, its outer size (frame included) and where
# its client area starts on KWin's screen to KWin's log; with "close" it then closes the window as
# the frame's close button does.
#   kwin_window [close]  -> sets KWIN_WINDOW: "CAPTION|RESIZEABLE|WxH|WxH|WxH|X,Y", or "none"
KWIN_PROBES=0
kwin_window() {
    KWIN_PROBES=$((KWIN_PROBES + 1))
    local n=$KWIN_PROBES script="$WORK/kwin-probe-$KWIN_PROBES.js" id
    cat >"$script" <<EOF
var w = workspace.activeWindow || workspace.activeClient; // KWin 6 || KWin 5
function size(s) { return s.width + "x" + s.height; }
print("vantu-probe $n " + (w ? [w.caption, w.resizeable, size(w.minSize), size(w.maxSize),
                                 size(w.frameGeometry), w.bufferGeometry.x + "," + w.bufferGeometry.y
                                ].join("|") : "none"));
if (w && "${1:-}" == "close") w.closeWindow();
EOF
    id=$(dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
        org.kde.kwin.Scripting.loadScript string:"$script" string:"vantu-probe-$n" |
        awk '/int32/ { print $2 }')
    [ -n "$id" ] || return 1
    # KWin 6 names a loaded script /Scripting/ScriptN, KWin 5 /N.
    local run=(dbus-send --session --print-reply --dest=org.kde.KWin)
    "${run[@]}" "/Scripting/Script$id" org.kde.kwin.Script.run >/dev/null 2>&1 ||
        "${run[@]}" "/$id" org.kde.kwin.Script.run >/dev/null || return 1
    wait_until 10 grep -q "vantu-probe $n " "$WORK/kwin-wayland.log" || return 1
    KWIN_WINDOW=$(sed -n "s/^.*vantu-probe $n //p" "$WORK/kwin-wayland.log" | head -n 1)
}

# A game folder: a fake vantu.exe that records its arguments, working folder and start in
# $WORK/record-<name>/ (outside the game folder), and xconfig.dat with the given bytes, or none
# when the content is the single word NONE; with "sound", also the demo's vantu2.wav when the
# test has the demo folder (--demo-dir).
#   make_game NAME CONTENT [sound]  -> sets GAME (folder) and RECORD (record folder)
make_game() {
    game_folders "$1" "$2"
    cat >"$GAME/vantu.exe" <<EOF
#!/bin/sh
# Stands in for the game: records how it was started, then ends.
printf '%s\n' "\$@" >'$RECORD/args'
pwd -P >'$RECORD/cwd'
echo started >>'$RECORD/starts'
: >'$RECORD/startup'
EOF
    chmod 755 "$GAME/vantu.exe"
    [ "${3:-}" != sound ] || [ -z "$DEMO_DIR" ] || cp "$DEMO_DIR/vantu2.wav" "$GAME/"
}

# Starts the launcher in folder $1 with a clean environment: no sound device (SDL's dummy
# driver unless the caller's extra NAME=VALUE arguments say otherwise), a private runtime
# folder for Qt, and a PATH with neither the game nor wine on it. With LAUNCH_AS=USER set, the
# launcher runs as that user (the tests run as root, who may read and write anything): it gets
# its own home and runtime folders, the work folder becomes passable for it, and it runs a copy
# of the launcher and reads a copy of the sanitizer's suppressions from a folder of its own
# there, since the checkout may lie in a folder only root may enter (like /root). LAUNCH_ARGS
# holds the launcher's own arguments. It is handed the sanitizers' options, with the suppressions
# of leaks inside system libraries for LeakSanitizer, and VANTU_TEST_RUN, which marks the
# processes of a run of tools/test.sh.
#   launch FOLDER [NAME=VALUE...]  -> sets LAUNCHER_PID; output goes to $WORK/launcher-N.log
LAUNCH_COUNT=0
LAUNCH_ARGS=()
launch() {
    local folder=$1
    shift
    LAUNCH_COUNT=$((LAUNCH_COUNT + 1))
    local home="$WORK/home" runtime="$WORK/runtime" as=() passed=() name
    local program=$LAUNCHER suppressions=$E2E_DIR/lsan.supp
    if [ -n "${LAUNCH_AS:-}" ]; then
        home="$WORK/home-$LAUNCH_AS" runtime="$WORK/runtime-$LAUNCH_AS"
        mkdir -p "$home" "$runtime"
        chown "$LAUNCH_AS" "$home" "$runtime"
        chmod 711 "$WORK"
        as=("$(command -v setpriv)" --reuid="$LAUNCH_AS" --regid="$(id -g "$LAUNCH_AS")"
            --clear-groups)
        # (A name with a blank: the sanitizers' options must carry such a path whole.)
        local own="$WORK/programs of $LAUNCH_AS"
        if [ ! -d "$own" ]; then
            mkdir -m 755 "$own"
            install -m 755 "$LAUNCHER" "$own/vantu-launcher"
            install -m 644 "$suppressions" "$own/lsan.supp"
            "${as[@]}" test -x "$own/vantu-launcher" || die "$LAUNCH_AS cannot reach $own:" \
                "a folder above $WORK is closed to it (set TMPDIR to one it may enter)"
        fi
        program=$own/vantu-launcher suppressions=$own/lsan.supp
    fi
    mkdir -p "$home" "$WORK/bin" "$runtime"
    chmod 700 "$runtime"
    passed=("LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=\"$suppressions\"")
    for name in ASAN_OPTIONS UBSAN_OPTIONS VANTU_TEST_RUN; do
        [ -z "${!name:-}" ] || passed+=("$name=${!name}")
    done
    (cd "$folder" && exec env -i \
        HOME="$home" XDG_RUNTIME_DIR="$runtime" XDG_CONFIG_HOME="$home/.config" \
        XDG_CACHE_HOME="$home/.cache" "${SESSION_SETTINGS[@]}" \
        PATH="$WORK/bin" LANG=C.UTF-8 SDL_AUDIODRIVER=dummy \
        "${passed[@]}" "$@" "${as[@]}" "$program" "${LAUNCH_ARGS[@]}") \
        >"$WORK/launcher-$LAUNCH_COUNT.log" 2>&1 &
    LAUNCHER_PID=$!
}

# Visible top-level windows titled exactly $1, one id a line.
windows_named() {
    local pattern
    # shellcheck disable=SC2001  # a bracket expression is clearer here than ${//}
    pattern=$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$1")
    # Mutter 48 draws X11 frames in a client of its own (mutter-x11-frames), which gives each
    # frame its window's title and marks it _MUTTER_FRAME_FOR; older window managers' frames have
    # no title. A frame is never the window asked for.
    local w
    for w in $(xdotool search --onlyvisible --name "^${pattern}\$" 2>/dev/null); do
        xprop -id "$w" _MUTTER_FRAME_FOR 2>/dev/null | grep -q 'window id' || echo "$w"
    done
}

# Waits for the launcher's window to be mapped.  -> sets WIN
main_window_up() {
    WIN=$(windows_named "$MAIN_TITLE" | head -n 1)
    [ -n "$WIN" ] && return 0
    alive "$LAUNCHER_PID" || die "the launcher ended before its window appeared"
    return 1
}
find_main_window() {
    wait_until "$WAIT_LIMIT" main_window_up ||
        die "no window titled '$MAIN_TITLE' within ${WAIT_LIMIT} s"
}

# A second window titled like the launcher's main window $WIN: its message box.  -> sets BOX
other_window() {
    BOX=$(windows_named "$MAIN_TITLE" | grep -vx "$WIN" | head -n 1)
    [ -n "$BOX" ]
}

# Framed: the window manager has given the frame's extents, and where mutter 48 draws the frame in
# a client of its own (the window asks for it with _MUTTER_NEEDS_FRAME), that frame is up around
# the window: a click while the window is still being put into it can be lost.
framed() {
    xprop -id "$WIN" _NET_FRAME_EXTENTS | grep -q ' = ' || return 1
    xprop -id "$WIN" _MUTTER_NEEDS_FRAME | grep -q ' = 1' || return 0
    local w
    for w in $(xdotool search --onlyvisible --name "." 2>/dev/null); do
        [ "$(xprop -id "$w" _MUTTER_FRAME_FOR 2>/dev/null | awk '{ print $NF }')" != \
            "$(printf '0x%x' "$WIN")" ] || return 0
    done
    return 1
}
wait_framed() {
    wait_until "$WAIT_LIMIT" framed || die "$WINDOW_MANAGER put no frame around the window"
}

# Outer geometry of window $1, the window manager's frame included (its _NET_FRAME_EXTENTS;
# with no window manager the window is its own frame), and the size of its client area and where
# it lies on the screen.
#   -> sets GX GY GW GH, CW CH, CX CY
geometry() {
    local info left=0 right=0 top=0 bottom=0 extents
    info=$(xwininfo -id "$1") || return 1
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/^.* = //p') || return 1
    [ -z "$extents" ] || IFS=', ' read -r left right top bottom <<<"$extents"
    CW=$(sed -n 's/^ *Width: *//p' <<<"$info")
    CH=$(sed -n 's/^ *Height: *//p' <<<"$info")
    CX=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
    CY=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
    GX=$((CX - left)) GY=$((CY - top))
    GW=$((CW + left + right)) GH=$((CH + top + bottom))
}

width_is() { geometry "$1" && [ "$GW" -eq "$2" ]; }

# Waits until the outer width of window $1 is $2 pixels.
wait_width() {
    wait_until "$WAIT_LIMIT" width_is "$1" "$2" || check_failed "window width $GW, expected $2"
}

# Closes the launcher's window $WIN as a window manager's close button does (WM_DELETE_WINDOW),
# and expects the launcher to end with status 0; WHAT names the checks.
#   close_window WHAT
close_window() {
    "$MONKEY" --close "$WIN" || check_failed "$1: the window does not take WM_DELETE_WINDOW"
    expect_exit "$1"
}

# A real mouse click (XTEST) at client pixel x,y of window $1.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Client pixel X,Y in control $1 of the layout: its centre, or $2 pixels right of its left edge
# (the Linux window counts 15 twips a pixel).
control_point() {
    local left top width height
    read -r left top width height <<<"${CONTROL_TWIPS[$1]}"
    echo $((left / 15 + ${2:-width / 30})) $((top / 15 + height / 30))
}
read -r PLAY_X PLAY_Y <<<"$(control_point Command1)"
read -r VIDEO_SETUP_X VIDEO_SETUP_Y <<<"$(control_point Command2)"
read -r NARROW_X NARROW_Y <<<"$(control_point Label1)"
read -r SHADERS_X SHADERS_Y <<<"$(control_point Check2 6)" # on the box, left of the caption

# Gives window $1 the keyboard focus, as a window manager does when a window is mapped, and
# waits until the X server reports it.
focus_window() {
    xdotool windowfocus "$1"
    wait_until "$WAIT_LIMIT" focus_is "$1" || check_failed "window $1 did not get the focus"
}
focus_is() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

ended() { ! alive "$1"; }

# Waits for the launcher to end and returns its status in EXIT_STATUS (die after the bound).
wait_launcher_exit() {
    wait_until "$WAIT_LIMIT" ended "$LAUNCHER_PID" ||
        die "the launcher is still running ${WAIT_LIMIT} s later"
    EXIT_STATUS=0
    wait "$LAUNCHER_PID" || EXIT_STATUS=$?
    LAUNCHER_PID=""
}

# Waits for the launcher to end; a check named WHAT that its exit status is STATUS (default 0).
#   expect_exit WHAT [STATUS]
expect_exit() {
    wait_launcher_exit
    [ "$EXIT_STATUS" -eq "${2:-0}" ] || check_failed "$1: exit status $EXIT_STATUS, expected ${2:-0}"
}

# Waits until the fake game has started, and compares its arguments with the expected ones (one
# word an argument).
expect_args() {
    wait_game_started
    [ "$(cat "$RECORD/args")" = "$(printf '%s\n' "$@")" ] ||
        check_failed "game arguments: got [$(tr '\n' ' ' <"$RECORD/args")], expected [$*]"
}

# Fails the test when a sanitizer of the sanitizer build reported anything in log $1.
check_no_sanitizer_report() {
    if grep -qE 'ERROR: (Address|Leak|Thread|Memory)Sanitizer|runtime error:|SUMMARY: [A-Za-z]+Sanitizer' "$1"; then
        check_failed "a sanitizer reported a fault in $(basename "$1")"
        grep -m 20 -E 'Sanitizer|runtime error:|^    #' "$1" >&2 || true
    fi
}
