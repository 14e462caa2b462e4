# shellcheck shell=bash
# shellcheck disable=SC2034  # rounds, warmup, build, label ... are for the scripts
# shellcheck disable=SC2154  # cases, fields, ratio_width ... are the script's
# What the two start-up benchmarks (bench/startup/run.sh, bench/windows-startup/run.sh) share:
# the common options, the work folder, the rounds with the cases' order rotating, the
# statistics, the table and the ratios. The sourcing script sets cases (and label[CASE] where the
# table names a case otherwise) and fields (the timer's "name=value" figures kept of each run,
# map_ms first), and defines measure CASE (one run of the timer, its output on stdout) and, where
# it needs them, own_option LETTER VALUE, bench_end and bench_can_go_on.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=30
warmup=3
raw=""
declare -A label=()

bench_usage() {
    echo "usage: $0 $usage_options" >&2
    exit 1
}

# -n ROUNDS, -w WARMUP_ROUNDS, -r RAW.csv, the other letters of OPTSTRING through own_option,
# then BUILD_DIR (default: DEFAULT_BUILD in the repository), which must exist.
#   bench_options USAGE OPTSTRING DEFAULT_BUILD "$@"
bench_options() {
    local opt OPTARG OPTIND=1 optstring=$2 default=$3
    usage_options=$1
    shift 3
    while getopts "$optstring" opt; do
        case "$opt" in
            n) rounds=$OPTARG ;;
            w) warmup=$OPTARG ;;
            r) raw=$OPTARG ;;
            *) { declare -F own_option >/dev/null && own_option "$opt" "${OPTARG:-}"; } ||
                bench_usage ;;
        esac
    done
    shift $((OPTIND - 1))
    [ $# -le 1 ] || bench_usage
    [[ "$rounds" =~ ^[1-9][0-9]*$ && "$warmup" =~ ^[0-9]+$ ]] || bench_usage
    build=${1:-$repo/$default}
    [ -d "$build" ] || { echo "no build folder $build" >&2; exit 1; }
    build=$(cd "$build" && pwd)
    # The window's title (MAIN_TITLE), from the layout table (cmake/layout-shell.cmake).
    # shellcheck source=/dev/null
    source "$build/layout.sh" || { echo "no $build/layout.sh: configure the build" >&2; exit 1; }
}

bench_work() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
    trap bench_cleanup EXIT
    trap 'exit 130' INT TERM
}
bench_cleanup() {
    set +e
    ! declare -F bench_end >/dev/null || bench_end
    rm -rf "$work"
}

# Whether runs can go on after a failed one; a script whose runs need something that may be
# gone defines its own, which says why not.
bench_can_go_on() { :; }

# Runs case $1 once; appends its fields to $work/<case>.samples (and to the raw CSV) unless it
# is a warm-up run (round $2 is 0).
failures=0
failures_in_a_row=0
run_case() {
    local name=$1 keep=$2 out status=0 field values=()
    out=$(measure "$name" </dev/null 2>"$work/run.err") || status=$?
    # The timer dies of the signal that interrupted it (128 + number): stop here.
    [ "$status" -lt 128 ] || exit "$status"
    if [ "$status" != 0 ]; then
        failures=$((failures + 1))
        failures_in_a_row=$((failures_in_a_row + 1))
        echo "run of '${label[$name]:-$name}' failed:" >&2
        tail -n 5 "$work/run.err" >&2
        if [ "$failures_in_a_row" -ge 5 ]; then
            echo "giving up: the last 5 runs failed" >&2
            exit 2
        fi
        bench_can_go_on || exit 2
        return 0
    fi
    failures_in_a_row=0
    [ "$keep" != 0 ] || return 0
    for field in "${fields[@]}"; do
        values+=("$(sed -n "s/.*$field=\([0-9.]*\).*/\1/p" <<<"$out")")
    done
    echo "${values[*]}" >>"$work/$name.samples"
    [ -z "$raw" ] || (IFS=,; echo "$keep,$name,${values[*]}") >>"$raw"
}

# The warm-up rounds, then the rounds, each running every case once, the order rotating from
# round to round.
bench_rounds() {
    local r i c n=${#cases[@]}
    [ -z "$raw" ] || (IFS=,; echo "round,case,${fields[*]}") >"$raw"
    load_before=$(cut -d' ' -f1-3 /proc/loadavg)
    for ((r = 0; r < warmup; r++)); do
        for c in "${cases[@]}"; do run_case "$c" 0; done
    done
    for ((r = 0; r < rounds; r++)); do
        for ((i = 0; i < n; i++)); do
            run_case "${cases[$(((r + i) % n))]}" $((r + 1))
        done
    done
}

# Prints "median p90 min" of column $2 of the samples file $1 with $3 decimals (p90 by nearest
# rank).
stats() {
    cut -d' ' -f"$2" "$1" | sort -g | awk -v f="%.$3f" '
        { v[NR] = $1 }
        END {
            if (NR == 0) { print "nan nan nan"; exit }
            med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            k = int(0.9 * NR); if (k < 0.9 * NR) k++
            printf f " " f " " f "\n", med, v[k], v[1]
        }'
}

# The start-up times' median, p90 and minimum of every case with $1 decimals, and its number of
# kept runs: med, p90, low and count by case. Fails when a case has none.
declare -A med p90 low count
bench_summary() {
    local c f
    for c in "${cases[@]}"; do
        f=$work/$c.samples
        [ -s "$f" ] || { echo "no successful run of '${label[$c]:-$c}'" >&2; exit 2; }
        read -r "med[$c]" "p90[$c]" "low[$c]" <<<"$(stats "$f" 1 "$1")"
        count[$c]=$(wc -l <"$f")
    done
}

# The table of the start-up times, its first column WIDTH wide; with a HEADING and the name of
# an array by case, a column more.
#   bench_table WIDTH [HEADING ARRAY]
# shellcheck disable=SC2059  # the format is built here
bench_table() {
    local format="%-$1s %5s %10s %8s %8s" c extra=()
    if [ $# -gt 1 ]; then
        format+=" %18s"
        local -n column=$3
    fi
    printf "$format\n" case runs "median ms" "p90 ms" "min ms" "${@:2:1}"
    for c in "${cases[@]}"; do
        [ $# -eq 1 ] || extra=("${column[$c]}")
        printf "$format\n" "${label[$c]:-$c}" "${count[$c]}" "${med[$c]}" "${p90[$c]}" \
            "${low[$c]}" "${extra[@]}"
    done
    [ "$failures" = 0 ] || echo "failed runs (left out): $failures"
}

# Other work on the machine inflates the times; the ratios are fairer than the raw figures.
bench_load() {
    echo "load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
}

# One line: NUMERATOR / DENOMINATOR, against the TARGET when there is one; the label is
# $ratio_width wide.
#   ratio LABEL NUMERATOR DENOMINATOR [TARGET]
ratio() {
    awk -v w="$ratio_width" -v l="$1" -v a="$2" -v b="$3" -v t="${4:-}" 'BEGIN {
        v = a / b
        if (t == "") printf "%-" w "s %6.3f\n", l, v
        else printf "%-" w "s %6.3f  (target <= %.2f)  %s\n", l, v, t, (v <= t) ? "PASS" : "MISS" }'
}
