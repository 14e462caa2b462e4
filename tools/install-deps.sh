#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the launcher need, on Debian 12
# ("bookworm") and Debian 13 ("trixie") alike: every name below is the same on both. Runs as root
# (or through sudo); does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake g++ make pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libsdl2-dev libx11-dev
  xvfb xauth xdotool x11-utils libxtst-dev imagemagick fonts-liberation sox hyperfine
  # Qt's Wayland platform, and the desktops the end-to-end tests run under besides Xvfb: a
  # headless Wayland compositor and two real X11 window managers (mutter in a D-Bus session).
  qt6-wayland weston openbox mutter wmctrl
  # KDE's KWin as both: the X11 window manager and the Wayland compositor, and the Breeze window
  # frame that every Plasma desktop has (without it KWin's fallback frame fails to load and
  # windows go unframed).
  kwin-x11 kwin-wayland kwin-style-breeze
  # The Debian package: cpack's dependency list (dpkg-shlibdeps), dpkg-buildflags to check the
  # hardening flags against, and the checks of the package and the hardened program; for the
  # reproducibility check, the second build's clock and a reader of compile_commands.json.
  dpkg-dev lintian devscripts faketime python3
  # The desktop entry's check, and the portable bundle's RUNPATH.
  desktop-file-utils patchelf
  # The screen-reader tests: a D-Bus session, the accessibility bus and its Python bindings, the
  # screen reader Orca, and pgrep (Orca runs once a user).
  dbus-daemon at-spi2-core python3-pyatspi orca procps
  # The Windows build: MinGW-w64 GCC (the -posix flavour), GoogleTest's sources to build with
  # it, and Wine with its fonts to run the programs.
  g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine
  # Fuzzing: clang with libFuzzer and the sanitizers' runtime, llvm's coverage tools, by the
  # names that lead to each release's default LLVM (14 on Debian 12, 19 on Debian 13).
  clang libclang-rt-dev llvm
  # The other release's tests: a Debian root of its own, made from Debian's packages, without
  # root where user namespaces allow it (newuidmap maps the user's /etc/subuid range), else
  # through sudo; sudo also for the test that runs the tools as a user with sudo.
  mmdebstrap uidmap sudo
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# sudo clears the environment, so the setting that keeps apt from asking is given as a command.
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "${missing[@]}"
