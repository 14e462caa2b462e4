#!/usr/bin/env bash
# Tests the portable bundle (target "bundle", tools/make-bundle.sh) where it is meant to run: in
# a minimal Debian 13 root that has only what the bundle takes from the host (the C and C++
# runtimes, fontconfig, OpenGL, the X11, xcb and Wayland client libraries, D-Bus, GLib) and no
# Qt, ICU, xkbcommon or SDL. There, unpacked in a folder with a blank in its name and run as a
# user, on this machine's private Xvfb (its socket bound into the root):
#   - every ELF file of the bundle finds all its libraries (ldd), none of Qt, ICU, xkbcommon or
#     the xcb utilities outside the bundle;
#   - --version, and --play with a stand-in game, in the demo's game folder;
#   - on a headless weston (its socket in the root), the window shows, with the bundle's Wayland
#     platform and shell and the app id of the desktop entry;
#   - the window opens (started through a link to the program), the libraries mapped into the
#     running launcher are the bundle's but for the host's own, and Return on "Play" starts the
#     stand-in game as --play did.
#
#   tools/bundle-test.sh [BUNDLE.tar.xz]   (default: build/release's, built first)
#   tools/bundle-test.sh --root-only       makes the root when it is missing or stale, nothing else
#   tools/bundle-test.sh --needs-sudo      exits with 0 when the test goes through sudo, else 1
#
# The root (build/bundle-root, or VANTU_BUNDLE_ROOT) is made once with mmdebstrap and reused
# while the package list below is the same; the script removes a folder there only when it made
# it (the file .vantu-bundle-root in it, written first) or when it is empty. Run by a user other
# than root, it makes and enters the root through sudo (sudo -n with VANTU_SUDO_ASKED=1, as
# tools/test.sh passes it). Everything in the root runs in a mount and PID namespace that ends
# with the test, and takes its mounts and processes with it.
set -euo pipefail
# shellcheck source=checkout-lock.sh
source "$(dirname "$0")/checkout-lock.sh"
hold_checkout_lock "$@"
[ $# -eq 0 ] || [ "$1" = --needs-sudo ] || [ "$1" = --root-only ] || bundle=$(realpath -- "$1")
[ -z "${VANTU_BUNDLE_ROOT:-}" ] || root=$(realpath -m -- "$VANTU_BUNDLE_ROOT")
cd "$(dirname "$0")/.."
top=$PWD
root=${root:-$top/build/bundle-root}
readonly suite=trixie mark=.vantu-bundle-root stamp=.vantu-bundle-packages
# What the bundle takes from the host, by Debian 13's package names; and the keyboard layouts,
# which xkbcommon reads on Wayland (every X11 or Wayland desktop has them).
readonly packages=xkb-data,libstdc++6,libfontconfig1,libopengl0,libgl1,libegl1,libx11-6,libx11-xcb1,libxcb1,libxcb-glx0,libxcb-randr0,libxcb-render0,libxcb-shape0,libxcb-shm0,libxcb-sync1,libxcb-xfixes0,libxcb-xinput0,libxcb-xkb1,libsm6,libice6,libwayland-client0,libwayland-cursor0,libwayland-egl1,libdbus-1-3,libglib2.0-0t64
PATH=$PATH:/usr/sbin:/sbin
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
    [ "${VANTU_SUDO_ASKED:-}" != 1 ] || as_root=(sudo -n)
fi
[ "${1:-}" != --needs-sudo ] || { [ "${#as_root[@]}" -gt 0 ]; exit; }

die() {
    echo "bundle-test: $*" >&2
    exit 1
}
for tool in mmdebstrap unshare chroot Xvfb xdotool weston tar; do
    command -v "$tool" >/dev/null || die "$tool is missing (bash tools/install-deps.sh installs it)"
done
began=$SECONDS
# The minimal root, made when missing or made from another package list.
if [ "$(cat "$root/$stamp" 2>/dev/null)" != "$packages" ]; then
    started=$SECONDS
    if [ -e "$root" ] || [ -L "$root" ]; then
        { [ -d "$root" ] && [ ! -L "$root" ] && { [ -e "$root/$mark" ] || [ -z "$(ls -A "$root")" ]; }; } ||
            die "$root exists and is no root this script made (it has no $mark): it is left" \
                "alone; name another VANTU_BUNDLE_ROOT, or remove it yourself"
        "${as_root[@]}" rm -rf --one-file-system -- "$root"
    fi
    mkdir -p "$(dirname "$root")"
    # shellcheck disable=SC2016  # expanded by that shell
    "${as_root[@]}" sh -c 'mkdir "$1" && : >"$1/$2"' mark "$root" "$mark"
    mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null) ||
        true
    "${as_root[@]}" mmdebstrap --mode=root --quiet --variant=essential --skip=check/empty \
        --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
        --dpkgopt='path-exclude=/usr/share/locale/*' --include="$packages" \
        "$suite" "$root" "deb ${mirror:-http://deb.debian.org/debian} $suite main" ||
        die "mmdebstrap failed"
    # shellcheck disable=SC2016
    echo "$packages" | "${as_root[@]}" sh -c 'cat >"$1"' stamp "$root/$stamp"
    echo "bundle-test: made $root in $((SECONDS - started)) s"
fi
[ "${1:-}" != --root-only ] || exit 0
if [ -z "${bundle:-}" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target bundle >/dev/null
    bundle=$(echo "$top"/build/release/vantu-launcher-*-linux-x86_64.tar.xz)
fi
[ -f "$bundle" ] || die "no bundle at $bundle"
echo "bundle-test: $(basename "$bundle"), $(stat -c %s "$bundle") bytes"

# The host has none of what the bundle brings.
found=$(find "$root/usr/lib" "$root/lib" \( -name 'libQt6*' -o -name 'libicu*' \
    -o -name 'libxkbcommon*' -o -name 'libSDL2*' -o -name 'libxcb-icccm*' \) -printf '%f ' 2>/dev/null)
[ -z "$found" ] || die "the root is not minimal: $found"

work=$(mktemp -d)
xvfb_pid="" weston_pid=""
# shellcheck disable=SC2317  # called by the trap
end() {
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    [ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    "${as_root[@]}" rm -rf --one-file-system -- "$root/home/player" "$root/tmp/bundle-test"
    rm -rf -- "$work"
}
trap end EXIT
# shellcheck source=xvfb.sh
source "$top/tools/xvfb.sh"
xvfb_start "$work/xvfb" 1024x768x24 || die "Xvfb did not start"
xvfb_pid=${XVFB_PID:?}
export DISPLAY=$XVFB_DISPLAY XAUTHORITY=/dev/null

# The player's folders in the root: the bundle unpacked, the demo's game folder with a stand-in
# game that records its arguments, and a folder the host side and the root side signal through.
version=$(basename "$bundle" | sed -E 's/^vantu-launcher-(.*)-linux-x86_64\.tar\.xz$/\1/')
cat >"$work/vantu.exe" <<'EOF'
#!/bin/sh
printf '%s\n' "$*" >>/tmp/bundle-test/game-starts
EOF
# shellcheck disable=SC2016  # expanded in the root
"${as_root[@]}" sh -euc '
    mkdir -p "$1/home/player/Portable games" "$1/home/player/Vantu2" "$1/tmp/bundle-test"
    tar -xJf "$2" -C "$1/home/player/Portable games"
    cp "$3/xconfig.dat" "$3/vantu2.wav" "$1/home/player/Vantu2/"
    install -m 755 "$4" "$1/home/player/Vantu2/vantu.exe"
    chown -R 1000:1000 "$1/home/player" "$1/tmp/bundle-test"
    mkdir -p "$1/tmp/.X11-unix" "$1/tmp/bundle-test/wayland"
    chown "$5" "$1/tmp/bundle-test/wayland"
    chmod 700 "$1/tmp/bundle-test/wayland"' make "$root" "$bundle" "$top/demo" "$work/vantu.exe" \
    "$(id -u)"

# A headless Wayland compositor whose socket lies in the root, open to the player there.
wayland=$root/tmp/bundle-test/wayland
(cd "$work" && exec env XDG_RUNTIME_DIR="$wayland" weston --backend=headless-backend.so \
    --socket=vantu-bundle --width=1024 --height=768 --idle-time=0) >"$work/weston.log" 2>&1 &
weston_pid=$!
for ((i = 0; i < 1200; i++)); do
    [ ! -S "$wayland/vantu-bundle" ] || break
    kill -0 "$weston_pid" 2>/dev/null || die "weston did not start: $(cat "$work/weston.log")"
    sleep 0.05
done
chmod 755 "$wayland"
chmod 666 "$wayland/vantu-bundle"

# The root side, as user 1000 but for the mounts: the checks that run there, and the launcher's
# window, which waits for the host side (the file "seen") before its libraries are read and
# "Play" is pressed.
# shellcheck disable=SC2016  # expanded in the root
in_root='
    program="/home/player/Portable games/vantu-launcher-$1/vantu-launcher"
    bundle=$(dirname "$program")
    cd /home/player/Vantu2
    status=0
    for file in "$program" "$bundle"/lib/* "$bundle"/plugins/*/*; do
        out=$(ldd "$file" 2>&1) || { echo "ldd $file: $out"; status=1; continue; }
        if grep -q "not found" <<<"$out"; then echo "$file: $(grep "not found" <<<"$out")"; status=1; fi
        if outside=$(grep -E "=> /(usr/)?lib" <<<"$out" | grep -E "lib(Qt6|icu|xkbcommon|xcb-(icccm|image|keysyms|render-util|util))"); then
            echo "$file takes from the host: $outside"; status=1
        fi
    done
    echo "ldd: $(ls "$bundle"/lib | wc -l) libraries, $(ls "$bundle"/plugins/*/* | wc -l) plugins checked"
    as_player=(setpriv --reuid=1000 --regid=1000 --clear-groups env -i HOME=/home/player
        PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR=/tmp/bundle-test)
    run() { "${as_player[@]}" "$@"; }
    version=$(cd / && run "$program" --version) || status=1
    [ "$version" = "vantu-launcher $1" ] || { echo "--version printed: $version"; status=1; }
    run "$program" --play || { echo "--play failed"; status=1; }
    # On Wayland: the window is up once it has given its app id and a painted buffer; its
    # libraries are read, then it is ended.
    log=/tmp/bundle-test/wayland.log
    "${as_player[@]}" XDG_RUNTIME_DIR=/tmp/bundle-test/wayland WAYLAND_DISPLAY=vantu-bundle \
        WAYLAND_DEBUG=client "$program" /home/player/Vantu2 >"$log" 2>&1 &
    launcher=$!
    for ((i = 0; i < 1200; i++)); do
        grep -q "xdg_toplevel[@#][0-9]*\.set_app_id" "$log" &&
            grep -q "wl_surface[@#][0-9]*\.attach(wl_buffer" "$log" && break
        kill -0 "$launcher" 2>/dev/null || break
        sleep 0.05
    done
    cat "/proc/$launcher/maps" >/tmp/bundle-test/wayland-maps 2>/dev/null || true
    kill "$launcher" 2>/dev/null || { echo "the Wayland window ended by itself:"; grep -v "^\[" "$log"; status=1; }
    wait "$launcher" || true
    echo "Wayland: $(grep -o "set_app_id(.*)" "$log" | head -n 1), $(grep -c "\.attach(wl_buffer" "$log") buffers"
    # The window through a link in /home/player/bin, as a shortcut may start it: the
    # bundle is found where the program really is. (Each program execs the next: $! is the
    # launcher.)
    run mkdir -p /home/player/bin
    run ln -s "$program" /home/player/bin/vantu-launcher
    "${as_player[@]}" DISPLAY="$2" XAUTHORITY=/dev/null /home/player/bin/vantu-launcher /home/player/Vantu2 \
        >/tmp/bundle-test/window.log 2>&1 &
    launcher=$!
    for ((i = 0; i < 1200; i++)); do
        [ -e /tmp/bundle-test/seen ] || ! kill -0 "$launcher" 2>/dev/null && break
        sleep 0.05
    done
    cat "/proc/$launcher/maps" >/tmp/bundle-test/maps 2>/dev/null || true
    : >/tmp/bundle-test/maps-read
    wait "$launcher" || { echo "the window ended with status $?:"; cat /tmp/bundle-test/window.log; status=1; }
    exit "$status"'
# shellcheck disable=SC2016  # expanded by that shell
"${as_root[@]}" unshare --mount --pid --fork --kill-child --propagation private \
    bash -euc 'mount -t proc proc "$1/proc"
        mount --rbind /dev "$1/dev"
        mount --bind /tmp/.X11-unix "$1/tmp/.X11-unix"
        root=$1
        shift
        exec chroot "$root" "$@"' in-root "$root" /bin/bash -uc "$in_root" in-root \
    "$version" "$DISPLAY" >"$work/root.log" 2>&1 &
root_side=$!

status=0
check_failed() {
    echo "bundle-test: FAILED: $*"
    status=1
}
signals=$root/tmp/bundle-test
window=""
for ((i = 0; i < 1200; i++)); do
    window=$(xdotool search --onlyvisible --name '^Vantu2: Copper Winds$' 2>/dev/null | head -n 1) &&
        [ -n "$window" ] && break
    kill -0 "$root_side" 2>/dev/null || break
    sleep 0.05
done
if [ -n "$window" ]; then
    echo "bundle-test: the window is up ($(xdotool getwindowgeometry "$window" | tail -n 1 | xargs))"
    "${as_root[@]}" touch "$signals/seen"
    for ((i = 0; i < 1200; i++)); do [ -e "$signals/maps-read" ] && break; sleep 0.05; done
    xdotool windowfocus --sync "$window" key Return
else
    check_failed "no window"
    "${as_root[@]}" touch "$signals/seen"
fi
wait "$root_side" || check_failed "in the root (status $?)"
sed 's/^/    /' "$work/root.log"

# Every library the running launcher mapped: the bundle's, or the host's own (none that the
# bundle also has).
bundled=$(ls "$root/home/player/Portable games/vantu-launcher-$version/lib")
mapped=$(sed -nE 's/^([^ ]+ +){5}(\/.*\.so.*)$/\2/p' "$signals/maps" 2>/dev/null | sort -u)
inside=$(grep -c "^/home/player/Portable games/" <<<"$mapped" || true)
[ "$inside" -gt 10 ] || check_failed "the launcher mapped $inside of the bundle's files"
# (By soname: libfoo.so.1.2.3 is the host's libfoo.so.1.)
host_mapped=$(grep -v "^/home/player/Portable games/" <<<"$mapped" | xargs -r -n 1 basename |
    sed -E 's/(\.so\.[0-9]+)\..*/\1/')
echo "bundle-test: the window mapped $inside files of the bundle and from the host:" \
    "$(tr '\n' ' ' <<<"$host_mapped")"
for library in $host_mapped; do
    ! grep -qxF "$library" <<<"$bundled" || check_failed "$library came from the host"
    [[ ! "$library" =~ ^lib(Qt6|icu|xkbcommon) ]] || check_failed "$library came from the host"
done
grep -q libqxcb.so <<<"$mapped" || check_failed "the xcb platform was not loaded from the bundle"
# On Wayland, the Wayland platform and shell from the bundle, with the app id of the desktop
# entry.
wayland_mapped=$(sed -nE 's/^([^ ]+ +){5}(\/.*\.so.*)$/\2/p' "$signals/wayland-maps" 2>/dev/null | sort -u)
for plugin in platforms/libqwayland-generic.so wayland-shell-integration/libxdg-shell.so; do
    grep -qx "/home/player/Portable games/vantu-launcher-$version/plugins/$plugin" <<<"$wayland_mapped" ||
        check_failed "on Wayland, $plugin was not loaded from the bundle"
done
grep -q 'set_app_id("vantu-launcher")' "$signals/wayland.log" 2>/dev/null ||
    check_failed "on Wayland, the window gave no app id vantu-launcher"
# Without the keyboard layouts xkbcommon has no context, and Qt no keyboard on Wayland.
! grep -q "xkb context" "$signals/wayland.log" 2>/dev/null ||
    check_failed "on Wayland, no keyboard: $(grep "xkb" "$signals/wayland.log")"

# Two game starts, --play's and then the window's "Play": the same command line, the demo's
# options with -d saveme.
starts=$(cat "$signals/game-starts" 2>/dev/null || true)
{ [ "$(wc -l <<<"$starts")" -eq 2 ] && [ "$(sort -u <<<"$starts" | wc -l)" -eq 1 ] &&
    [[ "$starts" == "-nc "*"-d saveme"* ]]; } || check_failed "the game was started so: $starts"
echo "bundle-test: the game was started so: $(tr '\n' '|' <<<"$starts")"
echo "bundle-test: took $((SECONDS - began)) s"
[ "$status" -eq 0 ] && echo "bundle-test: passed" || echo "bundle-test: FAILED"
exit "$status"
