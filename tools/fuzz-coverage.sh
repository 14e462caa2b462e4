#!/usr/bin/env bash
# Line coverage of the core reached by each fuzz target's corpus: builds the targets with clang's
# source-based coverage (preset fuzz-coverage), runs each once over <corpus folder>/<target>/ and
# its seeds, and prints llvm-cov's report for the core's files (src/).
#
#   bash tools/fuzz-coverage.sh [corpus folder]      (default /var/tmp/vantu-fuzz)
set -euo pipefail
root=$(realpath -m -- "${1:-/var/tmp/vantu-fuzz}")  # from the caller's folder
cd "$(dirname "$0")/.."
targets=(config_reader load_trace command_line split_command_line)

bash tools/install-deps.sh
cmake --preset fuzz-coverage >/dev/null
cmake --build --preset fuzz-coverage -j2 >/dev/null

out=build/fuzz-coverage/profiles
rm -rf "$out"
mkdir -p "$out"
for t in "${targets[@]}"; do
  bin="build/fuzz-coverage/fuzz/${t}_fuzzer"
  dirs=("fuzz/corpus/$t")
  [ -d "$root/$t" ] && dirs+=("$root/$t")
  LLVM_PROFILE_FILE="$out/$t.profraw" nice -n 10 "$bin" -runs=0 "${dirs[@]}" >"$out/$t.log" 2>&1
  llvm-profdata merge -sparse "$out/$t.profraw" -o "$out/$t.profdata"
  echo "== $t ($(find "${dirs[@]}" -type f | wc -l) inputs)"
  llvm-cov report "$bin" -instr-profile="$out/$t.profdata" src/
done
