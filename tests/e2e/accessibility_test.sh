#!/usr/bin/env bash
# What a screen reader gets (AT-SPI, under the test's own D-Bus session, which ctest starts with
# dbus-run-session): a frame named by the window's title holding the controls a player can see,
# each spoken by its caption and role; the display-mode list labelled by "Resolution" and read
# by its value; "<<" a button named "Hide video setup" whose Press action narrows the window like
# a click; no hidden control, no decoration; "Play" starts the game and ends the launcher.
# With VANTU_E2E_DESKTOP=weston (or mutter-wayland) all of it runs on a Wayland compositor with
# no X server, where AT-SPI is the way in: the window is found by its name and measured by its
# extents.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
[ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    die "python3-pyatspi is missing (bash tools/install-deps.sh installs it)"
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || die "no D-Bus session (run under dbus-run-session)"
start_desktop

# The accessibility bus, with a runtime folder of the test's own: the default one is shared by
# every session of the user, and tests side by side would end each other's bus.
mkdir -m 700 "$WORK/a11y-runtime"
XDG_RUNTIME_DIR=$WORK/a11y-runtime /usr/libexec/at-spi-bus-launcher --launch-immediately \
    >"$WORK/a11y-bus.log" 2>&1 &
EXTRA_PIDS+=($!)
bus_up() {
    dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1
}
wait_until 10 bus_up || die "the accessibility bus did not start"
a11y() { XDG_RUNTIME_DIR=$WORK/a11y-runtime MAIN_TITLE=$MAIN_TITLE /usr/bin/python3 "$E2E_DIR/accessibility.py" "$@"; }

make_game a11y "1 1 1 1 1 0 0 0 0 3 "
launch "$GAME" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"
[ -z "${DISPLAY:-}" ] || find_main_window
a11y tree >"$WORK/tree" 2>"$WORK/tree.err" || die "no accessible tree: $(cat "$WORK/tree.err")"
sed 's/^/    /' "$WORK/tree" >&2

# The window and its direct children: role, name, relations, actions (depth 1 only).
expected="frame	$MAIN_TITLE
push button	Hide video setup		Press
panel	Performance / Visual 
panel	Video Setup
label	Resolution	label-for:1400x1050
push button	Play		Press,SetFocus
combo box	1400x1050	labelled-by:Resolution	ShowMenu,Press
check box	Window mode		Toggle,SetFocus
check box	Use Shaders		Toggle,SetFocus
push button	Video Setup		Press,SetFocus
check box	Advanced Shadows		Toggle,SetFocus
check box	Engines / Fire effects		Toggle,SetFocus
check box	Scenery clouds		Toggle,SetFocus
check box	Bullets Glow		Toggle,SetFocus"
got=$(awk -F'\t' '$1 <= 1 { print $2 "\t" $3 ($5 $6 == "" ? "" : "\t" $5) ($6 == "" ? "" : "\t" $6) }' \
    "$WORK/tree")
[ "$got" = "$expected" ] || check_failed "the window's accessible children differ:
$(diff <(echo "$expected") <(echo "$got"))"
awk -F'\t' '$1 <= 1 && $4 != "VS"' "$WORK/tree" | grep -q . &&
    check_failed "a control is exposed but not visible and showing"

# "<<" narrows the wide window through its accessible action, as a click does. On Wayland the
# extents are the client area's: Qt draws the frame itself there, 3 px a side, inside the outer
# widths.
a11y_width_is() { [ "$(a11y size | cut -d' ' -f1)" = "$1" ]; }
expect_width() {
    if [ -z "${DISPLAY:-}" ]; then
        wait_until 5 a11y_width_is "$2" || check_failed "$1: client area $(a11y size), expected $2 px wide"
        log "$1: client area $(a11y size)"
    else
        wait_width "$WIN" "$3"
    fi
}
expect_width opening "$CLIENT_WIDTH" "$CLIENT_WIDTH"
a11y press "Video Setup" || check_failed "cannot press Video Setup"
expect_width "after Video Setup" $((WIDE_WIDTH - 6)) "$WIDE_WIDTH"
a11y press "Hide video setup" || check_failed "cannot press Hide video setup"
expect_width "after Hide video setup" $((NARROW_WIDTH - 6)) "$NARROW_WIDTH"

a11y press Play || check_failed "cannot press Play"
wait_launcher_exit
[ "$EXIT_STATUS" -eq 0 ] || check_failed "launcher exit status $EXIT_STATUS after Play, expected 0"
check_no_sanitizer_report "$WORK/launcher-$LAUNCH_COUNT.log"
wait_game_started
expect_args -nc -d v3 -d saveme
finish
