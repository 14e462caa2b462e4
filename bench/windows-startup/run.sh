#!/usr/bin/env bash
# Start-up benchmark of the Windows launcher under Wine, against two baselines.
#
#   bench/windows-startup/run.sh [-n ROUNDS] [-w WARMUP_ROUNDS] [-r RAW.csv] [-p] [BUILD_DIR]
#
# BUILD_DIR (default: build/windows in the repository) must hold the windows preset's build:
# vantu-launcher.exe, bench/windows-startup/bench-{controls,picture}-window.exe and
# tests/windows-e2e/win-driver.exe. The script builds only the Xlib timer
# (bench/startup/map_timer.cpp, with the host's g++) and prints figures; it asserts nothing.
#
# The build's Wine prefix (BUILD_DIR/wine-prefix) and its session from tools/wine-prefix.sh (a
# warm wineserver and the session's Xvfb without a window manager), and a keeper program that
# holds a hidden window all along, so that Wine's desktop process does not end and restart
# between two runs. Three cases, one run of each per round, the order rotating from round to
# round:
#   launcher        vantu-launcher.exe in a game folder with a typical xconfig.dat and the
#                   demo's vantu2.wav
#   controls        the same window with its picture and seventeen controls but no logic
#   picture         the window with its picture alone
# Each run is timed from the exec of `wine PROGRAM` to the map of the window titled like the
# launcher's on the X server, then the program is ended. Wine's own start-up is in every case, so
# the ratio launcher / controls is what the launcher's own code costs.
#
# -p times the start-up's phases instead, in the launcher (bench-launcher-phases.exe, the
# launcher's own objects in the launcher's order) and the controls baseline, each program
# reading the time since Windows created its process: start to static initialisation, static
# initialisation to WinMain, the window, the controls, the configuration, showing it, and until
# the window and controls have painted. It prints each phase's median in both and the difference.
# shellcheck source=../startup-common.sh
source "$(dirname "$0")/../startup-common.sh"
# shellcheck source=../../tools/wine-env.sh
source "$repo/tools/wine-env.sh"

phases=0
own_option() { [ "$1" = p ] && phases=1; }
bench_options "[-n ROUNDS] [-w WARMUP_ROUNDS] [-r RAW.csv] [-p] [BUILD_DIR]" "n:w:r:ph" \
    build/windows "$@"

launcher=$build/vantu-launcher.exe
controls=$build/bench/windows-startup/bench-controls-window.exe
picture=$build/bench/windows-startup/bench-picture-window.exe
driver=$build/tests/windows-e2e/win-driver.exe
for f in "$launcher" "$controls" "$picture" "$driver"; do
    [ -f "$f" ] || { echo "missing $f: build the windows preset first" >&2; exit 1; }
done
for tool in wine g++; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

bench_work vantu-win-startup
keeper_pid=""
bench_end() {
    [ -z "$keeper_pid" ] || stop_wine_keeper
}

timer=$work/map-timer
g++ -std=c++20 -O2 -o "$timer" "$repo/bench/startup/map_timer.cpp" -lX11 ||
    { echo "cannot build the timer (libx11-dev?)" >&2; exit 1; }

prefix=$build/wine-prefix
# The benchmark is a user of the session while it runs (see tools/wine-prefix.sh); its Wine
# programs run without descriptor 8.
exec 8>>"$prefix.users"
display=$(bash "$repo/tools/wine-prefix.sh" "$prefix" 2>"$work/prefix.log") ||
    { cat "$work/prefix.log" >&2; exit 1; }
wine_env "$prefix" "$display"

start_wine_keeper "$driver" "$work/keeper.log"
grep -q '^holding=yes' "$work/keeper.log" || { echo "the keeper did not start" >&2; exit 1; }

mkdir "$work/game" "$work/plain"
printf '1 1 1 1 1 0 0 0 0 3 ' >"$work/game/xconfig.dat"
[ ! -f "$repo/demo/vantu2.wav" ] || cp "$repo/demo/vantu2.wav" "$work/game/"

if [ "$phases" = 1 ]; then
    launcher_phases=$build/bench/windows-startup/bench-launcher-phases.exe
    [ -f "$launcher_phases" ] || { echo "missing $launcher_phases" >&2; exit 1; }
    for ((r = 0; r < warmup + rounds; r++)); do
        keep=$((r >= warmup))
        (cd "$work/game" && VANTU_PHASES=$work/launcher.phases$keep timeout 30 wine \
            "$launcher_phases" </dev/null >/dev/null 2>&1 8>&-) || echo "a launcher run failed" >&2
        (cd "$work/plain" && VANTU_PHASES=$work/controls.phases$keep timeout 30 wine \
            "$controls" </dev/null >/dev/null 2>&1 8>&-) || echo "a controls run failed" >&2
    done
    # Median time of each phase (from the mark before it) in a file of "name=ms ..." lines.
    phase_medians() {
        awk '{ prev = 0
               for (i = 1; i <= NF; i++) {
                   split($i, kv, "="); printf "%d %s %f\n", i, kv[1], kv[2] - prev; prev = kv[2]
               } }' "$1" | sort -k1,1n -k3,3g |
            awk '$1 != key { if (n) out(); key = $1; name = $2; n = 0 }
                 { v[++n] = $3 }
                 function out() {
                     printf "%s %.1f\n", name, (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
                 }
                 END { if (n) out() }'
    }
    echo "Start-up phases under $(wine --version 2>/dev/null), medians of $rounds runs, ms"
    printf '%-10s %9s %9s %9s\n' phase launcher controls "+ own"
    # Both programs record the same phases in the same order.
    paste -d' ' <(phase_medians "$work/launcher.phases1") <(phase_medians "$work/controls.phases1") |
        awk '{ printf "%-10s %9.1f %9.1f %+9.1f\n", $1, $2, $4, $2 - $4; a += $2; b += $4 }
             END { printf "%-10s %9.1f %9.1f %+9.1f\n", "total", a, b, a - b }'
    exit 0
fi

cases=(launcher controls picture)
fields=(map_ms)
measure() {
    local dir=$work/plain prog
    case "$1" in
        launcher) dir=$work/game prog=$launcher ;;
        controls) prog=$controls ;;
        picture) prog=$picture ;;
    esac
    "$timer" --timeout 30 --cwd "$dir" --title "$MAIN_TITLE" -- wine "$prog" 8>&-
}

bench_rounds
bench_summary 1

echo "Start-up under $(wine --version 2>/dev/null), Xvfb $DISPLAY, no window manager, warm" \
    "prefix, desktop kept up; exec of wine to the window's map; $rounds rounds after $warmup" \
    "warm-up rounds"
bench_load
bench_table 10
echo
ratio_width=36
ratio "launcher / controls (median)" "${med[launcher]}" "${med[controls]}" 1.10
ratio "launcher / controls (p90)" "${p90[launcher]}" "${p90[controls]}"
# Under load the fastest runs are the least disturbed ones.
ratio "launcher / controls (min)" "${low[launcher]}" "${low[controls]}"
ratio "controls / picture (median)" "${med[controls]}" "${med[picture]}"
ratio "launcher / picture (median)" "${med[launcher]}" "${med[picture]}"
echo
printf '%-36s %s bytes\n' "vantu-launcher.exe" "$(stat -c %s "$launcher")"
printf '%-36s %s bytes\n' "bench-controls-window.exe" "$(stat -c %s "$controls")"
