#!/usr/bin/env bash
# Instructions the reader spends per byte of input, counted by callgrind (exact and repeatable,
# unlike times): the cost of one load is the count of two loads less the count of one.
# Usage: bench/reader_instructions.sh [build dir, default build/release]
set -euo pipefail
build=${1:-build/release}
load="$build/bench/reader_load"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count() {  # folder times -> instructions
  valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$load" "$1" "$2" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

for size in 1024 262144 4194304; do
  mkdir -p "$work/$size"
  python3 - "$work/$size/xconfig.dat" "$size" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2])
text = "1 1 0 1 1 0 0 0 1 3 \r\n"
while len(text) < size:
    text += "1 0 1 1 0 0 0 1 0 2 \r\n"
open(path, "w", newline="").write(text[:size])
PY
  one=$(count "$work/$size" 1)
  two=$(count "$work/$size" 2)
  awk -v s="$size" -v a="$one" -v b="$two" \
    'BEGIN { printf "%8d bytes: %12d instructions a load, %6.1f a byte\n", s, b - a, (b - a) / s }'
done
