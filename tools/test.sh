#!/usr/bin/env bash
# Installs what is missing, builds the launcher and runs every test: once in a Release build,
# once in a Debug build under AddressSanitizer and UndefinedBehaviorSanitizer, and once in a
# Windows build (MinGW-w64) run under Wine, in a Wine prefix the tests make in build/windows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)
for preset in release asan windows; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
done
