#!/usr/bin/env bash
# Runs the fuzz targets long, one after another, each growing its corpus in a folder outside the
# source tree (seeded from fuzz/corpus/<target>/). Findings go to <folder>/artifacts/, each
# target's log to <folder>/<target>.log; the last lines of libFuzzer's statistics are printed.
#
#   bash tools/fuzz-long.sh [seconds per target] [corpus folder] [target ...]
#
# Defaults: 600 seconds, /var/tmp/vantu-fuzz, every target. FUZZ_RUNS=N stops a target after
# N runs instead (whichever comes first). Runs at low priority, one process at a time.
set -euo pipefail
seconds=${1:-600}
root=$(realpath -m -- "${2:-/var/tmp/vantu-fuzz}")  # from the caller's folder
cd "$(dirname "$0")/.."
shift $(($# < 2 ? $# : 2))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(config_reader load_trace command_line split_command_line)

bash tools/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null

mkdir -p "$root/artifacts"
root=$(cd "$root" && pwd)
status=0
for t in "${targets[@]}"; do
  mkdir -p "$root/$t"
  echo "== $t: up to ${seconds}s, corpus $root/$t"
  if ! nice -n 10 "build/fuzz/fuzz/${t}_fuzzer" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" \
      -print_final_stats=1 -artifact_prefix="$root/artifacts/$t-" \
      "$root/$t" "fuzz/corpus/$t" >"$root/$t.log" 2>&1; then
    echo "   FINDING: see $root/$t.log and $root/artifacts/"
    status=1
  fi
  grep -E '^#[0-9]+.*(DONE|pulse)|stat::(number_of_executed_units|average_exec_per_sec)' \
    "$root/$t.log" | tail -3
done
exit $status
