#!/usr/bin/env bash
# How long "--play" takes from the launcher's start to the game's start, on both builds, against
# the window's start-up; and on Linux how much of it is the dynamic loader bringing in Qt.
#
#   bench/play-startup.sh [-n RUNS] [-W] [LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]]
#
# The build folders default to build/release and build/windows; one that lacks its launcher is
# skipped. Nothing of the project is built here (only a tiny C++ baseline, with g++).
#
# Linux, whole processes timed by hyperfine, with neither DISPLAY nor WAYLAND_DISPLAY set:
#   --play      in a game folder with a typical xconfig.dat whose vantu.exe is a copy of true(1);
#               the launcher ends once posix_spawn has executed the game, so its run is the time
#               from its start to the game's
#   --version   loads every library --play loads (Qt's among them) and does nothing
#   tiny C++    a program that links only the C++ runtime and prints one line: any process's cost
#   tiny + Qt   the same with Qt's libraries linked in and unused, bound at once (as the
#               launcher is, -z now) and lazily: what the dynamic loader's bringing in Qt costs
# then the dynamic loader's own account of --play (LD_DEBUG=statistics, in TSC cycles) and the
# number of shared objects it maps.
# Windows, in the build's warm Wine session with a hidden window held open (as
# bench/windows-startup/run.sh does), hyperfine of `wine vantu-launcher.exe --play` in a game
# folder with the tests' stand-in game, against `wine` of that stand-in alone.
# The window's start-up (exec to the window's map) comes from bench/startup/run.sh and
# bench/windows-startup/run.sh, run with the same number of rounds unless -W is given.
# Prints figures and asserts nothing.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
runs=30
window=1
while getopts "n:Wh" opt; do
    case "$opt" in
        n) runs=$OPTARG ;;
        W) window=0 ;;
        *) echo "usage: $0 [-n RUNS] [-W] [LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]]" >&2; exit 1 ;;
    esac
done
shift $((OPTIND - 1))
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a positive number" >&2; exit 1; }
linux_build=${1:-$repo/build/release}
windows_build=${2:-$repo/build/windows}
linux_build=$(realpath -m -- "$linux_build")
windows_build=$(realpath -m -- "$windows_build")
command -v hyperfine >/dev/null || { echo "hyperfine is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vantu-play-bench.XXXXXX")
keeper_pid=""
cleanup() {
    set +e
    [ -z "$keeper_pid" ] || stop_wine_keeper
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Word $1 quoted for hyperfine's command lines (split as a POSIX shell splits them), so that a
# path with blanks stays one word.
quoted() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

# hyperfine's table of the commands given, as "name: mean +- sd (min ... max)" lines in ms.
#   timed NAME COMMAND [NAME COMMAND]...
timed() {
    local args=() names=()
    while [ $# -gt 0 ]; do
        names+=("$1")
        args+=(--command-name "$1" "$2")
        shift 2
    done
    hyperfine -N --style none --warmup 5 --runs "$runs" --export-json "$work/h.json" \
        "${args[@]}" >/dev/null 2>"$work/h.err" || { cat "$work/h.err" >&2; return 1; }
    python3 - "$work/h.json" <<'EOF'
import json, statistics, sys
for r in json.load(open(sys.argv[1]))["results"]:
    t = sorted(x * 1000 for x in r["times"])
    print(f'  {r["command"]:<34} median {statistics.median(t):7.2f} ms   mean {r["mean"] * 1000:7.2f}'
          f' +- {r["stddev"] * 1000:5.2f}   min {t[0]:7.2f}   max {t[-1]:7.2f}')
EOF
}

if [ -x "$linux_build/vantu-launcher" ]; then
    launcher=$linux_build/vantu-launcher
    mkdir "$work/game"
    printf '1 1 1 1 1 0 0 0 0 3 ' >"$work/game/xconfig.dat"
    [ ! -f "$repo/demo/vantu2.wav" ] || cp "$repo/demo/vantu2.wav" "$work/game/"
    cp "$(type -P true)" "$work/game/vantu.exe"
    printf '#include <cstdio>\nint main() { std::puts("tiny 1.0.0"); }\n' >"$work/tiny.cpp"
    g++ -std=c++20 -O2 -fPIE -pie -Wl,-z,relro,-z,now -o "$work/tiny" "$work/tiny.cpp"
    # The same program with Qt's libraries linked in and unused: what bringing them in costs,
    # with the launcher's immediate binding and with lazy binding.
    qt_libs=$(pkg-config --libs Qt6Widgets 2>/dev/null || echo "-lQt6Widgets -lQt6Gui -lQt6Core")
    for binding in now lazy; do
        # shellcheck disable=SC2086  # qt_libs is a list of words
        g++ -std=c++20 -O2 -fPIE -pie -o "$work/tiny-qt-$binding" "$work/tiny.cpp" \
            -Wl,-z,relro,-z,$binding -Wl,--no-as-needed $qt_libs
    done

    echo "Linux: $runs runs each after 5 warm-up runs, no display"
    (cd "$work/game" && unset DISPLAY WAYLAND_DISPLAY && timed \
        'vantu-launcher --play' "$(quoted "$launcher") --play" \
        'vantu-launcher --version' "$(quoted "$launcher") --version" \
        'tiny C++ program' "$(quoted "$work/tiny")" \
        'tiny + Qt libraries, bound now' "$(quoted "$work/tiny-qt-now")" \
        'tiny + Qt libraries, bound lazily' "$(quoted "$work/tiny-qt-lazy")")
    echo
    echo "The dynamic loader's own account of --play (LD_DEBUG=statistics, the launcher's"
    echo "process only, not the game's):"
    mhz=$(awk -F': ' '/^cpu MHz/ { print $2; exit }' /proc/cpuinfo)
    (cd "$work/game" && env -u DISPLAY -u WAYLAND_DISPLAY LD_DEBUG=statistics "$launcher" --play \
        2>&1) | awk -v mhz="${mhz:-0}" '
            match($0, /^ *[0-9]+:/) {
                pid = substr($0, RSTART, RLENGTH); if (first == "") first = pid
                if (pid != first) next
                line = substr($0, RSTART + RLENGTH); gsub(/^[ \t]+/, "", line)
                if (line !~ /total startup|relocation:|load objects/) next
                ms = ""
                if (mhz > 0 && match(line, /[0-9]+ cycles/))
                    ms = sprintf("  (about %.2f ms at %.0f MHz)", substr(line, RSTART, RLENGTH - 7) / (mhz * 1000), mhz)
                print "  " line ms
            }'
    echo "  shared objects mapped: $(ldd "$launcher" | grep -c '=>') ($(ldd "$launcher" |
        grep -c 'libQt6') of Qt); the tiny program: $(ldd "$work/tiny" | grep -c '=>')"
    if [ "$window" = 1 ] && [ -x "$linux_build/bench/startup/bench-map-timer" ]; then
        echo
        echo "The window's start-up (bench/startup/run.sh):"
        bash "$repo/bench/startup/run.sh" -n "$runs" "$linux_build" | sed 's/^/  /'
    fi
else
    echo "no $linux_build/vantu-launcher: Linux skipped" >&2
fi

if [ -f "$windows_build/vantu-launcher.exe" ]; then
    # shellcheck source=tools/wine-env.sh
    source "$repo/tools/wine-env.sh"
    driver=$windows_build/tests/windows-e2e/win-driver.exe
    stub=$windows_build/tests/windows-e2e/vantu.exe
    for f in "$driver" "$stub"; do
        [ -f "$f" ] || { echo "missing $f: build the windows preset" >&2; exit 1; }
    done
    # A user of the session while it runs (see tools/wine-prefix.sh); its Wine programs run
    # without descriptor 8.
    exec 8>>"$windows_build/wine-prefix.users"
    display=$(bash "$repo/tools/wine-prefix.sh" "$windows_build/wine-prefix" 2>"$work/prefix.log") ||
        { cat "$work/prefix.log" >&2; exit 1; }
    wine_env "$windows_build/wine-prefix" "$display"
    start_wine_keeper "$driver" "$work/keeper.log"
    mkdir "$work/wgame" "$work/record"
    printf '1 1 1 1 1 0 0 0 0 3 ' >"$work/wgame/xconfig.dat"
    cp "$windows_build/vantu-launcher.exe" "$stub" "$work/wgame/"
    export VANTU_STUB_RECORD=$work/record
    echo
    echo "Windows under $(wine --version 2>/dev/null), warm session: $runs runs each after 5" \
        "warm-up runs"
    (cd "$work/wgame" && timed \
        'wine vantu-launcher.exe --play' "wine $(quoted "$work/wgame/vantu-launcher.exe") --play" \
        'wine vantu.exe (the game alone)' "wine $(quoted "$work/wgame/vantu.exe")" 8>&-)
    # Under Wine the launcher's process ends only once the game's process is set up, so its run
    # holds much of the game's own start too: also timed from the exec of wine to the moment the
    # stand-in game writes its first record (the file's time), with and without the launcher.
    to_game_ms() {
        local t0 i=0
        rm -f "$work/record/"*
        t0=$(date +%s%N)
        "$@" >/dev/null 2>&1 8>&- || true
        until [ -e "$work/record/startup" ] || [ $((i += 1)) -gt 200 ]; do sleep 0.01; done
        awk -v t0="$t0" -v t1="$(stat -c %.9Y "$work/record/command-line")" \
            'BEGIN { printf "%.3f\n", (t1 * 1e9 - t0) / 1e6 }'
    }
    median_of() { sort -g | awk '{ v[NR] = $1 } END { printf "%.1f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
    for ((r = 0; r < runs; r++)); do
        (cd "$work/wgame" && to_game_ms wine "$work/wgame/vantu-launcher.exe" --play) >>"$work/play.ms"
        (cd "$work/wgame" && to_game_ms wine "$work/wgame/vantu.exe") >>"$work/game.ms"
    done
    echo "  to the game's first line, median of $runs: with --play $(median_of <"$work/play.ms") ms," \
        "the game alone $(median_of <"$work/game.ms") ms"
    if [ "$window" = 1 ] &&
        [ -f "$windows_build/bench/windows-startup/bench-controls-window.exe" ]; then
        echo
        echo "The window's start-up (bench/windows-startup/run.sh):"
        bash "$repo/bench/windows-startup/run.sh" -n "$runs" "$windows_build" | sed 's/^/  /'
    fi
else
    echo "no $windows_build/vantu-launcher.exe: Windows skipped" >&2
fi
