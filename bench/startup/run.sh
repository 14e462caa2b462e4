#!/usr/bin/env bash
# Start-up benchmark of the Linux launcher against a bare Qt window with the same picture.
#
#   bench/startup/run.sh [-n ROUNDS] [-w WARMUP_ROUNDS] [-s SETTLE_MS] [-r RAW.csv] [BUILD_DIR]
#
# BUILD_DIR (default: build/release in the repository) must already hold vantu-launcher,
# bench/startup/bench-bare-window and bench/startup/bench-map-timer; this script builds nothing.
# It starts a private Xvfb without a window manager and measures three cases, one run of each
# per round, the order rotating from round to round:
#   launcher        a game folder with a typical xconfig.dat
#   launcher 1 MiB  the same with a 1 MiB xconfig.dat
#   bare window     the baseline
# Each run is timed from exec to the map of the window titled like the launcher's; the program is
# then ended (SETTLE_MS later, default 0) and its peak RSS read. With 0 the RSS is that of the
# moment of the map; a settle time adds the first paint and whatever other threads do then, so
# work moved to just after the map cannot hide from it. The script prints the median, 90th
# percentile and minimum of the start-up times, the median peak RSS, and the ratios against the
# launcher's targets. It prints figures and asserts nothing. Without a launcher binary only the
# bare window is measured.
# shellcheck source=../startup-common.sh
source "$(dirname "$0")/../startup-common.sh"
# shellcheck source=../../tools/xvfb.sh
source "$repo/tools/xvfb.sh"

settle=0
own_option() { [ "$1" = s ] && settle=$2; }
bench_options "[-n ROUNDS] [-w WARMUP_ROUNDS] [-s SETTLE_MS] [-r RAW.csv] [BUILD_DIR]" \
    "n:w:s:r:h" build/release "$@"
[[ "$settle" =~ ^[0-9]+$ ]] || bench_usage

timer=$build/bench/startup/bench-map-timer
bare=$build/bench/startup/bench-bare-window
launcher=$build/vantu-launcher
for f in "$timer" "$bare"; do
    [ -x "$f" ] || { echo "missing $f: build the release preset first" >&2; exit 1; }
done
have_launcher=1
if [ ! -x "$launcher" ]; then
    have_launcher=0
    echo "note: $launcher not built yet, measuring the bare window only" >&2
fi

bench_work vantu-startup
XVFB_PID=""
bench_end() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
}

xvfb_start "$work/xvfb" 1280x1024x24 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=$XVFB_DISPLAY
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
# The same plain environment whatever desktop the script is started from: no theme plugins,
# input methods or session manager.
unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI QT_QPA_PLATFORMTHEME \
    QT_STYLE_OVERRIDE QT_IM_MODULE XMODIFIERS SESSION_MANAGER XDG_CURRENT_DESKTOP DESKTOP_SESSION
# A session bus address where nothing listens. Without any address, Qt's accessibility bridge
# (started by the first widget caption) has libdbus autolaunch a bus through dbus-launch: a
# fork and exec on every run, and a bus daemon left running where dbus-x11 is installed.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"

# Game folders.
mkdir "$work/typical" "$work/big" "$work/bare" "$work/masters"
printf '1 1 1 1 1 0 0 0 0 3 ' >"$work/masters/typical.dat"
(yes $'1 1 0 1 1 0 0 0 1 3 \r' || true) | head -c 1048576 >"$work/masters/big.dat"
if [ -f "$repo/demo/vantu2.wav" ]; then
    cp "$repo/demo/vantu2.wav" "$work/typical/"
    cp "$repo/demo/vantu2.wav" "$work/big/"
fi

if [ "$have_launcher" = 1 ]; then
    cases=(launcher big bare)
else
    cases=(bare)
fi
label=([launcher]="launcher" [big]="launcher 1 MiB" [bare]="bare window")
fields=(map_ms peak_rss_mb)

# One run of a case: the configuration is copied in again before every run in case the
# launcher rewrites it.
measure() {
    local dir=$work/bare prog=$bare
    case "$1" in
        launcher) dir=$work/typical prog=$launcher
                  cp "$work/masters/typical.dat" "$dir/xconfig.dat" ;;
        big) dir=$work/big prog=$launcher
             cp "$work/masters/big.dat" "$dir/xconfig.dat" ;;
    esac
    "$timer" --timeout 10 --settle "$settle" --cwd "$dir" --title "$MAIN_TITLE" -- "$prog"
}
bench_can_go_on() {
    kill -0 "$XVFB_PID" 2>/dev/null || { echo "giving up: Xvfb is gone" >&2; false; }
}

bench_rounds
bench_summary 2
declare -A rss
for c in "${cases[@]}"; do
    read -r "rss[$c]" _ <<<"$(stats "$work/$c.samples" 2 2)"
done

echo "Start-up under Xvfb $DISPLAY, no window manager; $rounds rounds after $warmup warm-up" \
    "rounds; peak RSS $settle ms after the map"
bench_load
bench_table 16 "median peak RSS MB" rss

if [ "$have_launcher" = 1 ]; then
    echo
    ratio_width=48
    ratio "start-up: launcher / bare (median)" "${med[launcher]}" "${med[bare]}" 1.15
    ratio "peak RSS: launcher / bare (median)" "${rss[launcher]}" "${rss[bare]}" 1.25
    ratio "1 MiB file: (1 MiB - launcher) / bare (median)" \
        "$(awk -v a="${med[big]}" -v c="${med[launcher]}" 'BEGIN { print a - c }')" \
        "${med[bare]}" 0.5
fi
