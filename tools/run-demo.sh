#!/usr/bin/env bash
# Builds the launcher and the demo game, then runs the launcher in a scratch copy of the demo
# game folder (vantu.exe, xconfig.dat, vantu2.wav), so nothing in the build tree is touched.
# "Play" starts the demo game, which shows the command line it received.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

bash tools/install-deps.sh
cmake --preset release
cmake --build --preset release -j"$(nproc)"

# An X11 or a Wayland session will do: Qt picks Wayland when both are there.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run-demo: built, but there is no display (neither WAYLAND_DISPLAY nor DISPLAY is set)." >&2
    echo "run-demo: the launcher opens a window: run this from a desktop session." >&2
    exit 1
fi

game=$(mktemp -d "${TMPDIR:-/tmp}/vantu-demo.XXXXXX")
# Only the game's files: the build folder also holds CMake's own files.
cp build/release/demo/vantu.exe build/release/demo/xconfig.dat build/release/demo/vantu2.wav \
    "$game/"
echo "run-demo: game folder $game"
cd "$game"
exec "$repo/build/release/vantu-launcher"
