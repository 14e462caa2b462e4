#!/usr/bin/env bash
# What a screen reader gets (AT-SPI, under the test's own D-Bus session, which ctest starts with
# dbus-run-session): a frame named by the window's title holding the controls a player can see,
# each spoken by its caption and role; the display-mode list labelled by "Resolution" and read
# by its value; "<<" a button named "Hide video setup" whose Press action narrows the window like
# a click; no hidden control, no decoration; a check box turned through its action; "Play" starts
# the game and ends the launcher.
# With VANTU_E2E_DESKTOP=weston (or mutter-wayland, kwin-wayland) all of it runs on a Wayland
# compositor with no X server for the launcher, where AT-SPI is the way in: the window is found by
# its name and measured by its extents; there the window's app id (WAYLAND_DEBUG) is also checked
# against the desktop entry that the package installs, through which a taskbar finds the window's
# icon. KWin also says, through its scripts, that the window is the active one and of fixed size
# at each width, and closes it like its frame's close button; screenshots of its screen show what
# the player sees.
# With --orca: what a blind player hears from Debian's screen reader Orca, under a real window
# manager, walking the window by keyboard (see the end of this file).
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    die "python3-pyatspi is missing (bash tools/install-deps.sh installs it)"
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || die "no D-Bus session (run under dbus-run-session)"
start_desktop

# The accessibility bus, with a runtime folder of the test's own: the default one is shared by
# every session of the user, and tests side by side would end each other's bus.
# A home of its own too, and settings in memory: a screen reader switches accessibility on
# through the bus, which would write that to the user's own settings.
mkdir -m 700 "$WORK/a11y-runtime" "$WORK/a11y-home"
HOME=$WORK/a11y-home XDG_RUNTIME_DIR=$WORK/a11y-runtime GSETTINGS_BACKEND=memory \
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/a11y-bus.log" 2>&1 &
EXTRA_PIDS+=($!)
# It is up once it owns its name. Asking the name anything before would have D-Bus start a
# launcher of its own, with the user's runtime folder and settings, and the two race for the name.
bus_up() {
    dbus-send --session --dest=org.freedesktop.DBus --print-reply /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}
wait_until "$WAIT_LIMIT" bus_up || die "the accessibility bus did not start"
a11y() { XDG_RUNTIME_DIR=$WORK/a11y-runtime MAIN_TITLE=$MAIN_TITLE /usr/bin/python3 "$E2E_DIR/accessibility.py" "$@"; }

# What Orca said, from its log: a line for the start and one for each key it saw (a modifier is
# no key of its own), the key and, after a tab, all it said until the next key. Orca 43 and 48
# log some keys by other names (shift+Tab: "Backtab" and "ISO_Left_Tab", the keypad's Enter:
# "Return" and "KP_Enter"): Orca 43's are used. Of what it said, the pauses are left out: Orca 43
# ends a phrase with a full stop where Orca 48 often does not.
heard() {
    tr -d '\r' <"$WORK/orca.debug" | awk '
        BEGIN { line = "start\t"; same["ISO_Left_Tab"] = "Backtab"; same["KP_Enter"] = "Return" }
        /^vvvvv PROCESS ATSPI_KEY_PRESSED_EVENT: / {
            key = $4
            gsub(/\047/, "", key)
            if (key in same) key = same[key]
            if (key !~ /_[LR]$/) { print line; line = key "\t" }
        }
        /SPEECH OUTPUT: \047/ {
            sub(/^.*SPEECH OUTPUT: \047/, "")
            sub(/ *\[?\{[^{}]*\}\]?$/, "")
            sub(/\047( voice=[a-z]+)?$/, "")
            gsub(/\.( |$)/, " ")
            sub(/ $/, "")
            line = line (line ~ /\t$/ ? "" : " ") $0
        }
        END { print line }'
}
said() { [ "$(heard | sed -n "${1}p")" = "$2" ]; }

# Runs Orca with a home and runtime folder of its own, braille and key echo off, logging to
# $WORK/orca.debug. Speech is on, as a player has it (Orca says its messages, such as a program's
# announcements, only then), but with no speech server: the one Orca would start (SPEECHD_CMD)
# refuses, and Orca then only logs what it would say. Orca writes its log through a buffer unless
# it goes to a terminal, so it runs on one (script) to be followed line by line; the log is whole
# only once Orca has ended. ORCA_MAJOR: its major version.
start_orca() {
    require_tools script pgrep
    [ -x "$ORCA" ] || die "no screen reader at '$ORCA' (bash tools/install-deps.sh installs orca)"
    # Orca will not start beside another Orca of the same user: let another run end first.
    wait_until 60 no_orca_running ||
        die "an Orca of this user is running, and Orca will not start beside it"
    mkdir -m 700 "$WORK/orca-home" "$WORK/orca-runtime"
    local command
    printf -v command 'exec %q %s' "$ORCA" \
        "--disable=braille,key-echo,main-window,splash-window --debug-file=/dev/stdout"
    ORCA_MAJOR=$("$ORCA" --version | grep -o '[0-9]\+' | head -n 1)
    (cd "$WORK/orca-home" && exec env -i HOME="$WORK/orca-home" \
        XDG_RUNTIME_DIR="$WORK/orca-runtime" DISPLAY="$DISPLAY" XAUTHORITY=/dev/null \
        DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" PATH=/usr/bin:/bin LANG=C.UTF-8 \
        GSETTINGS_BACKEND=memory SPEECHD_CMD=/bin/false ${VANTU_TEST_RUN:+"VANTU_TEST_RUN=$VANTU_TEST_RUN"} \
        script --quiet --flush --return --command "$command" "$WORK/orca.debug") \
        </dev/null >/dev/null 2>"$WORK/orca.log" &
    ORCA_PID=$!
    EXTRA_PIDS+=("$ORCA_PID")
    # It listens once it enters its event loop, which Orca 43 logs as "Starting registry" and
    # Orca 48 as "Starting Atspi main event loop".
    wait_until "$WAIT_LIMIT" grep -qsE 'ORCA: Starting (registry|Atspi main event loop)' "$WORK/orca.debug" ||
        die "Orca did not start: $(tail -n 3 "$WORK/orca.debug" "$WORK/orca.log")"
}
no_orca_running() { ! pgrep -u "$(id -u)" -x orca >/dev/null; }

# The keyboard walk, a step a line: the key pressed (xdotool), the key as Orca 43 logs it, and all
# Orca says after it. It walks the nine Tab stops round to "Play", hears the list's label, role
# and value once each, changes the mode with Down and Up on the closed list and hears each new
# mode once, turns a check box with Space, and chooses a mode from the open list. Where Orca 43
# and 48 say it otherwise, both are given ($ORCA_SAYS picks): AT-SPI 2.56 names the push button
# role "button", and Orca 48 opens the list on its entry rather than with its size.
orca_walk() {
    local button="push button" opened="List with 12 items"
    [ "${ORCA_MAJOR:-43}" -lt 48 ] || button=button opened=1400x1050
    cat <<WALK
start	start	Screen reader on $MAIN_TITLE frame Play $button
Tab	Tab	Resolution combo box 1400x1050
Tab	Tab	Window mode check box not checked
Tab	Tab	Use Shaders check box checked
Tab	Tab	Video Setup $button
Tab	Tab	Advanced Shadows check box checked
Tab	Tab	Engines / Fire effects check box checked
Tab	Tab	Scenery clouds check box checked
Tab	Tab	Bullets Glow check box checked
Tab	Tab	Play $button
Tab	Tab	Resolution combo box 1400x1050
Down	Down	1600x1200
Up	Up	1400x1050
Tab	Tab	Window mode check box not checked
space	space	checked
shift+Tab	Backtab	Resolution combo box 1400x1050
alt+Down	Down	$opened
Down	Down	1600x1200
Return	Return	Resolution combo box 1600x1200
WALK
}

# Walks the window by keyboard with Orca listening; each key waits until Orca has said what it
# should (or a bound), and what Orca said in all is checked once it has ended.
listen_with_orca() {
    local expected="" n=0 key logged says
    while IFS=$'\t' read -r key logged says; do
        n=$((n + 1))
        expected+=${expected:+$'\n'}"$logged	$says"
        [ "$key" = start ] || xdotool key "$key"
        wait_until "$WAIT_LIMIT" said "$n" "$logged	$says" || true
    done < <(orca_walk)
    # The log is whole once Orca has ended (script passes the signal on and waits for it).
    kill -TERM "$ORCA_PID"
    wait_until "$WAIT_LIMIT" ended "$ORCA_PID" || die "Orca did not end"
    heard >"$WORK/heard"
    sed 's/^/    /' "$WORK/heard" >&2
    expect_same "Orca said otherwise than expected" "$expected" "$(cat "$WORK/heard")"
}

make_game a11y "$TYPICAL_CONFIG"
[ -z "$ORCA" ] || start_orca
wayland_debug=()
[ -n "${DISPLAY:-}" ] || wayland_debug=(WAYLAND_DEBUG=client)
launch "$GAME" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" "${wayland_debug[@]}"
[ -z "${DISPLAY:-}" ] || find_main_window
[ -z "$ORCA" ] || { listen_with_orca; finish; }
a11y tree >"$WORK/tree" 2>"$WORK/tree.err" || die "no accessible tree: $(cat "$WORK/tree.err")"
sed 's/^/    /' "$WORK/tree" >&2

# The window and its direct children: role, name, relations, actions and text (depth 1 only).
# The list is named by its label alone and offers its entry as text.
expected="frame	$MAIN_TITLE
push button	Hide video setup		Press
panel	Performance / Visual 
panel	Video Setup
label	Resolution	label-for:combo box
push button	Play		Press,SetFocus
combo box		labelled-by:Resolution	ShowMenu,Press	1400x1050
check box	Window mode		Toggle,SetFocus
check box	Use Shaders		Toggle,SetFocus
push button	Video Setup		Press,SetFocus
check box	Advanced Shadows		Toggle,SetFocus
check box	Engines / Fire effects		Toggle,SetFocus
check box	Scenery clouds		Toggle,SetFocus
check box	Bullets Glow		Toggle,SetFocus"
# Qt 6.8 gives a check box a Press action beside Toggle. It clicks the box as Toggle does (pressed
# below where it is offered), so it is left out here; any other action is a difference.
expect_same "the window's accessible children differ" "$expected" "$(awk -F'\t' '$1 <= 1 {
    if ($2 == "check box") sub(/^Toggle,Press,/, "Toggle,", $6)
    line = $2 "\t" $3 "\t" $5 "\t" $6 "\t" $8
    sub(/\t+$/, "", line)
    print line }' "$WORK/tree")"
awk -F'\t' '$1 <= 1 && $4 != "VS"' "$WORK/tree" | grep -q . &&
    check_failed "a control is exposed but not visible and showing"
awk -F'\t' '$2 == "combo box" && $7 !~ /(^|,)expandable(,|$)/' "$WORK/tree" | grep -q . &&
    check_failed "the display-mode list is not expandable"

# "<<" narrows the wide window through its accessible action, as a click does. On Wayland the
# extents are the client area's: weston and mutter leave the frame to Qt, which draws it, 3 px a
# side, inside the outer widths; KWin draws its own frame around the window (server-side
# decorations), whose size Qt is never told, so there the client area has the outer widths.
# KWin also says what it made of the window at each width: the active one (it has the keyboard),
# not resizable, its minimum and maximum sizes the client area's. (Its outer width, logged, is
# the client area's plus Breeze's side borders: none in KWin 5, 1 px a side in KWin 6.)
qt_frame=6 kwin=0
[ "${VANTU_E2E_DESKTOP:-}" != kwin-wayland ] || qt_frame=0 kwin=1
a11y_width_is() { [ "$(a11y size | cut -d' ' -f1)" = "$1" ]; }
kwin_shows() { kwin_window && [[ "$KWIN_WINDOW" == "$1"* ]]; }
expect_width() {
    if [ -z "${DISPLAY:-}" ]; then
        wait_until "$WAIT_LIMIT" a11y_width_is "$2" || check_failed "$1: client area $(a11y size), expected $2 px wide"
        log "$1: client area $(a11y size)"
        [ "$kwin" = 1 ] || return 0
        local size
        size=$(a11y size | tr ' ' x)
        wait_until "$WAIT_LIMIT" kwin_shows "$MAIN_TITLE|false|$size|$size|" ||
            check_failed "$1: KWin's active window: ${KWIN_WINDOW:-no answer}; expected" \
                "$MAIN_TITLE, not resizable, fixed at $size"
        log "$1: KWin: $KWIN_WINDOW"
    else
        wait_width "$WIN" "$3"
    fi
}
# Under KWin, what the player sees, in screenshots of KWin's screen (on its Xvfb), at a few
# telling points of client pixels (as in screenshot_test.sh): the background picture, and the
# options panel (fill RGB(64,64,64), outline RGB(128,128,128)) only in the wide window. The window
# in its frame is kept in --shots as NAME, when given.
#   kwin_sees WHAT [NAME]
kwin_sees() {
    [ "$kwin" = 1 ] || return 0
    local outer origin x y cw ch fw fh side
    IFS='|' read -r _ _ _ _ outer origin <<<"$KWIN_WINDOW"
    IFS=, read -r x y <<<"$origin"
    DISPLAY=$KWIN_X11_DISPLAY verify_screen "$1" "$x" "$y"
    [ -n "$SHOTS" ] && [ -n "${2:-}" ] || return 0
    # The frame around the client area: its title bar on top, and as wide a border at the sides
    # as at the bottom (none in KWin 5, 1 px in KWin 6).
    read -r cw ch <<<"$(a11y size)"
    fw=${outer%x*} fh=${outer#*x} side=$(((fw - cw) / 2))
    mkdir -p "$SHOTS"
    convert "$WORK/shot.png" -crop "${fw}x$fh+$((x - side))+$((y + ch + side - fh))" +repage \
        -strip -define png:exclude-chunks=date,time "$SHOTS/$2"
    log "kept $SHOTS/$2"
}
[ "$kwin" = 0 ] || load_background

expect_width opening "$CLIENT_WIDTH" "$CLIENT_WIDTH"
EXPECTED="
10 10 picture
100 60 picture
40 215 picture
331 200 picture
331 335 picture
"
kwin_sees "the narrow window" launcher-narrow-kwin-wayland.png
a11y press "Video Setup" || check_failed "cannot press Video Setup"
expect_width "after Video Setup" $((WIDE_WIDTH - qt_frame)) "$WIDE_WIDTH"
EXPECTED="
331 200 picture
350 300 64 64 64
530 320 64 64 64
344 200 128 128 128
400 16 128 128 128
540 100 picture
549 335 picture
"
kwin_sees "the wide window" launcher-wide-kwin-wayland.png
a11y press "Hide video setup" || check_failed "cannot press Hide video setup"
expect_width "after Hide video setup" $((NARROW_WIDTH - qt_frame)) "$NARROW_WIDTH"
EXPECTED="
331 200 picture
343 200 picture
343 16 picture
"
kwin_sees "the narrowed window"

# A check box's Press action, where Qt offers it, turns the box once, like Toggle and a click.
a11y press "Window mode" Press Toggle || check_failed "cannot turn Window mode"
a11y press Play || check_failed "cannot press Play"
wait_launcher_exit
[ "$EXIT_STATUS" -eq 0 ] || check_failed "launcher exit status $EXIT_STATUS after Play, expected 0"
check_no_sanitizer_report "$WORK/launcher-$LAUNCH_COUNT.log"
if [ -z "${DISPLAY:-}" ]; then
    # (libwayland 1.23 writes xdg_toplevel#N, older ones xdg_toplevel@N.)
    app_ids=$(sed -n 's/.*xdg_toplevel[@#][0-9]*\.set_app_id("\([^"]*\)").*/\1/p' \
        "$WORK/launcher-$LAUNCH_COUNT.log" | sort -u)
    log "app id: $app_ids"
    { [ -n "$app_ids" ] && [ -f "$E2E_DIR/../../packaging/$app_ids.desktop" ]; } ||
        check_failed "the window's app id '$app_ids' names no desktop entry in packaging/"
fi
wait_game_started
expect_args -nc -d v3 -d winmode -d saveme

# KWin closes the window as its frame's close button does, and the launcher ends.
if [ "$kwin" = 1 ]; then
    launch "$GAME" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"
    wait_until "$WAIT_LIMIT" kwin_shows "$MAIN_TITLE|" || die "KWin did not show the launcher again"
    kwin_window close || check_failed "KWin's script to close the window did not run"
    expect_exit "closed by KWin"
    check_no_sanitizer_report "$WORK/launcher-$LAUNCH_COUNT.log"
fi
finish
