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
# Each run is timed from exec to the map of the window "Vantu2: Copper Winds"; the program is
# then ended (SETTLE_MS later, default 0) and its peak RSS read. With 0 the RSS is that of the
# moment of the map; a settle time adds the first paint and whatever other threads do then, so
# work moved to just after the map cannot hide from it. The script prints the median, 90th
# percentile and minimum of the start-up times, the median peak RSS, and the ratios against the
# launcher's targets. It prints figures and asserts nothing. Without a launcher binary only the
# bare window is measured.
set -euo pipefail

rounds=30
warmup=3
settle=0
raw=""
usage() {
    echo "usage: $0 [-n ROUNDS] [-w WARMUP_ROUNDS] [-s SETTLE_MS] [-r RAW.csv] [BUILD_DIR]" >&2
    exit 1
}
while getopts "n:w:s:r:h" opt; do
    case "$opt" in
        n) rounds=$OPTARG ;;
        w) warmup=$OPTARG ;;
        s) settle=$OPTARG ;;
        r) raw=$OPTARG ;;
        *) usage ;;
    esac
done
shift $((OPTIND - 1))
[ $# -le 1 ] || usage
[[ "$rounds" =~ ^[1-9][0-9]*$ && "$warmup" =~ ^[0-9]+$ && "$settle" =~ ^[0-9]+$ ]] || usage

repo=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$repo/build/release}
[ -d "$build" ] || { echo "no build folder $build" >&2; exit 1; }
build=$(cd "$build" && pwd)

title="Vantu2: Copper Winds"
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

work=$(mktemp -d "${TMPDIR:-/tmp}/vantu-startup.XXXXXX")
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display number itself and writes it once it accepts connections. It must
# not reset when its last client leaves: a connection attempt during a reset fails.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }

export DISPLAY=":$(head -n1 "$work/display")"
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

# Game folders. The configuration is copied in again before every run in case the launcher
# rewrites it.
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
declare -A label=([launcher]="launcher" [big]="launcher 1 MiB" [bare]="bare window")

# Runs one case once; appends "map_ms rss_mb" to $work/<case>.samples unless discarded.
failures=0
failures_in_a_row=0
run_case() {
    local name=$1 keep=$2 dir prog out status=0
    case "$name" in
        launcher) dir=$work/typical prog=$launcher
                  cp "$work/masters/typical.dat" "$dir/xconfig.dat" ;;
        big) dir=$work/big prog=$launcher
             cp "$work/masters/big.dat" "$dir/xconfig.dat" ;;
        bare) dir=$work/bare prog=$bare ;;
    esac
    out=$("$timer" --timeout 10 --settle "$settle" --cwd "$dir" --title "$title" -- "$prog" \
        </dev/null 2>"$work/run.err") || status=$?
    cat "$work/run.err" >>"$work/$name.log"
    # The timer dies of the signal that interrupted it (128 + number): stop here.
    [ "$status" -lt 128 ] || exit "$status"
    if [ "$status" != 0 ]; then
        failures=$((failures + 1))
        failures_in_a_row=$((failures_in_a_row + 1))
        echo "run of '${label[$name]}' failed:" >&2
        tail -n 5 "$work/run.err" >&2
        if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$failures_in_a_row" -ge 5 ]; then
            echo "giving up: Xvfb is gone or the last 5 runs failed" >&2
            exit 2
        fi
        return 0
    fi
    failures_in_a_row=0
    local ms rss
    ms=$(sed -n 's/.*map_ms=\([0-9.]*\).*/\1/p' <<<"$out")
    rss=$(sed -n 's/.*peak_rss_mb=\([0-9.]*\).*/\1/p' <<<"$out")
    if [ "$keep" != 0 ]; then
        echo "$ms $rss" >>"$work/$name.samples"
        [ -z "$raw" ] || echo "$keep,$name,$ms,$rss" >>"$raw"
    fi
}

[ -z "$raw" ] || echo "round,case,map_ms,peak_rss_mb" >"$raw"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
n=${#cases[@]}
for ((r = 0; r < warmup; r++)); do
    for c in "${cases[@]}"; do run_case "$c" 0; done
done
for ((r = 0; r < rounds; r++)); do
    for ((i = 0; i < n; i++)); do
        run_case "${cases[$(((r + i) % n))]}" $((r + 1))
    done
done

# Prints "median p90 min" of column $2 of file $1 (p90 by nearest rank).
stats() {
    cut -d' ' -f"$2" "$1" | sort -g | awk '
        { v[NR] = $1 }
        END {
            if (NR == 0) { print "nan nan nan"; exit }
            med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            k = int(0.9 * NR); if (k < 0.9 * NR) k++
            printf "%.2f %.2f %.2f\n", med, v[k], v[1]
        }'
}

declare -A med p90 low rss count
for c in "${cases[@]}"; do
    f=$work/$c.samples
    [ -s "$f" ] || { echo "no successful run of '${label[$c]}'" >&2; exit 2; }
    read -r med[$c] p90[$c] low[$c] <<<"$(stats "$f" 1)"
    read -r rss[$c] _ <<<"$(stats "$f" 2)"
    count[$c]=$(wc -l <"$f")
done

echo "Start-up under Xvfb $DISPLAY, no window manager; $rounds rounds after $warmup warm-up" \
    "rounds; peak RSS $settle ms after the map"
# Other work on the machine inflates the times; the ratios are fairer than the raw figures.
echo "load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-16s %5s %10s %8s %8s %18s\n' "case" "runs" "median ms" "p90 ms" "min ms" \
    "median peak RSS MB"
for c in "${cases[@]}"; do
    printf '%-16s %5s %10s %8s %8s %18s\n' "${label[$c]}" "${count[$c]}" "${med[$c]}" \
        "${p90[$c]}" "${low[$c]}" "${rss[$c]}"
done
[ "$failures" = 0 ] || echo "failed runs (left out): $failures"

if [ "$have_launcher" = 1 ]; then
    echo
    ratio() {  # label value target
        awk -v l="$1" -v v="$2" -v t="$3" 'BEGIN {
            printf "%-48s %6.3f  (target <= %.2f)  %s\n", l, v, t, (v <= t) ? "PASS" : "MISS" }'
    }
    ratio "start-up: launcher / bare (median)" \
        "$(awk -v a="${med[launcher]}" -v b="${med[bare]}" 'BEGIN { print a / b }')" 1.15
    ratio "peak RSS: launcher / bare (median)" \
        "$(awk -v a="${rss[launcher]}" -v b="${rss[bare]}" 'BEGIN { print a / b }')" 1.25
    ratio "1 MiB file: (1 MiB - launcher) / bare (median)" \
        "$(awk -v a="${med[big]}" -v c="${med[launcher]}" -v b="${med[bare]}" \
            'BEGIN { print (a - c) / b }')" 0.5
fi
