#!/usr/bin/env bash
# Installs what is missing, builds the launcher and runs every test: once in a Release build,
# once in a Debug build under AddressSanitizer and UndefinedBehaviorSanitizer, and once in a
# Windows build (MinGW-w64) run under Wine, in a Wine prefix the tests make in build/windows,
# and once as short runs of the libFuzzer targets (clang, sanitizers). The default run then
# builds the Linux program, its package and the Windows program twice, in two clones, and checks
# that they are the same bytes and hardened (tools/reproducible.sh).
#
#   tools/test.sh [PRESET...]     (default: release asan windows fuzz)
#   tools/test.sh --quick         the quick loop while working: the release preset's build and
#                                 tests only; nothing installed, no reproducibility builds, no
#                                 Debian 13 root, no run as another user
#
# On Debian 12 the default run also tests Debian 13: the Release and Windows builds' tests run
# again in a Debian 13 root (tools/debian13.sh), which is made meanwhile, in the background,
# while this machine builds. On Debian 13 itself the presets run natively, like on Debian 12.
#
# Run as root, the default run ends by running the tools as a user with sudo whom it makes, and
# with no git identity (tools/test-as-user.sh), in the Debian 13 root too.
#
# At the end, whatever the outcome, it fails when a process the run started still runs (see
# tools/leftover-processes.sh): every process of the run carries VANTU_TEST_RUN.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
if [ "${1:-}" = --quick ]; then
    [ $# -eq 1 ] || { echo "usage: tools/test.sh --quick, or tools/test.sh [PRESET...]" >&2; exit 2; }
    quick=1
    set -- release
    echo "test: quick: the release preset only; no packages installed, no reproducibility" \
        "builds, no Debian 13 root, no run as another user (bash tools/test.sh runs them all)"
else
    bash tools/install-deps.sh
fi
VANTU_TEST_RUN="$(date +%s%N)-$$"
export VANTU_TEST_RUN
before=$(mktemp)
bash tools/leftover-processes.sh snapshot >"$before"
root_maker=""
end_of_run() {
    local status=$?
    if [ -n "$root_maker" ] && kill -0 "$root_maker" 2>/dev/null; then
        kill -TERM -- "-$root_maker" 2>/dev/null || true
        wait "$root_maker" 2>/dev/null || true
    fi
    bash tools/leftover-processes.sh check "$before" || status=1
    rm -f "$before"
    exit "$status"
}
trap end_of_run EXIT
trap 'exit 130' INT TERM

debian13=0 full=0
if [ $# -eq 0 ]; then
    set -- release asan windows fuzz
    full=1
    # shellcheck source=/dev/null
    [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != bookworm ] || debian13=1
fi
if [ "$debian13" = 1 ]; then
    mkdir -p build
    echo "test: making the Debian 13 root in the background (log: build/debian13-root.log)"
    setsid bash tools/debian13.sh --root-only >build/debian13-root.log 2>&1 &
    root_maker=$!
fi
jobs=$(nproc)
times=()
for preset in "$@"; do
  started=$SECONDS
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
  times+=("$preset passed in $((SECONDS - started)) s")
done
if [ "$full" = 1 ]; then
    started=$SECONDS
    bash tools/reproducible.sh
    times+=("reproducible builds passed in $((SECONDS - started)) s")
fi
if [ "$debian13" = 1 ]; then
    started=$SECONDS
    status=0
    wait "$root_maker" || status=$?
    root_maker=""
    [ "$status" -eq 0 ] || { tail -n 40 build/debian13-root.log; exit "$status"; }
    bash tools/debian13.sh release windows
    times+=("Debian 13 (release, windows) passed in $((SECONDS - started)) s")
fi
if [ "$full" = 1 ] && [ "$(id -u)" -eq 0 ]; then
    started=$SECONDS
    if [ "$debian13" = 1 ]; then
        bash tools/test-as-user.sh --debian13
    else
        bash tools/test-as-user.sh
    fi
    times+=("the tools as a user with sudo passed in $((SECONDS - started)) s")
fi
printf 'test: %s\n' "${times[@]}"
[ "$quick" = 0 ] || echo "test: quick run only: bash tools/test.sh is the whole check"
