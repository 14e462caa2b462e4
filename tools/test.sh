#!/usr/bin/env bash
# Installs what is missing, builds the launcher and runs every test: once in a Release build,
# once in a Debug build under AddressSanitizer and UndefinedBehaviorSanitizer, and once in a
# Windows build (MinGW-w64) run under Wine, in a Wine prefix the tests make in build/windows,
# and once as short runs of the libFuzzer targets (clang, sanitizers).
#
# At the end, whatever the outcome, it fails when a process the run started still runs (see
# tools/leftover-processes.sh): every process of the run carries VANTU_TEST_RUN.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
VANTU_TEST_RUN="$(date +%s%N)-$$"
export VANTU_TEST_RUN
before=$(mktemp)
bash tools/leftover-processes.sh snapshot >"$before"
end_of_run() {
    local status=$?
    bash tools/leftover-processes.sh check "$before" || status=1
    rm -f "$before"
    exit "$status"
}
trap end_of_run EXIT
jobs=$(nproc)
for preset in release asan windows fuzz; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
done
