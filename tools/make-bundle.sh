#!/usr/bin/env bash
# Makes the portable bundle: one folder, packed as .tar.xz, with the launcher at its top and the
# Qt libraries and plugins it needs inside, taken from this machine's Debian packages, so that it
# runs on any x86-64 Linux with glibc 2.35 or later (built on Debian 12: Debian 13's libraries
# need a newer glibc, and the script then stops). The build's target "bundle" runs it:
#
#   tools/make-bundle.sh PROGRAM VERSION QT_PLUGINS_DIR OUTPUT.tar.xz WORK_FOLDER STRIP
#
# Every library the program and the plugins need is copied into lib/ under its soname, unless
# the host is to provide it (host_library below); RUNPATH ($ORIGIN, patchelf) and a qt.conf make
# the program find them and the plugins in the bundle, never on the host. The copyright file of
# each Debian package a copied file comes from (dpkg -S) goes into licenses/, beside the
# project's own. The archive is the same bytes from the same inputs: files dated by the sources'
# date (SOURCE_DATE_EPOCH, else .source-date-epoch, else the last commit), names sorted, owner
# 0, fixed modes, and xz writes no time stamp. WORK_FOLDER is emptied and made anew each time.
set -euo pipefail
[ $# -eq 6 ] || { echo "usage: $0 PROGRAM VERSION QT_PLUGINS_DIR OUTPUT WORK_FOLDER STRIP" >&2; exit 2; }
program=$1 version=$2 qt_plugins=$3 output=$4 work=$5 strip=$6
source_dir=$(cd "$(dirname "$0")/.." && pwd)
name=vantu-launcher-$version
top=$work/$name

die() {
    echo "make-bundle: $*" >&2
    exit 1
}
for tool in patchelf readelf ldd dpkg-query xz tar "$strip"; do
    command -v "$tool" >/dev/null || die "$tool is missing (bash tools/install-deps.sh installs it)"
done

# The sources' date, as cpack dates the Debian package (packaging/cpack-date.cmake).
date=${SOURCE_DATE_EPOCH:-}
[ -n "$date" ] || date=$(head -n 1 "$source_dir/.source-date-epoch" 2>/dev/null) || true
if [[ ! "$date" =~ ^[0-9]+$ ]]; then
    date=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null) ||
        die "no date for the bundle's files: set SOURCE_DATE_EPOCH"
fi

# Qt's plugins: the X11 and Wayland platforms (and offscreen, for runs without a display), the
# Wayland shell and title bar, OpenGL on X11, and the input methods (compose keys, IBus).
plugins=(
    platforms/libqxcb.so platforms/libqwayland-generic.so platforms/libqoffscreen.so
    wayland-shell-integration/libxdg-shell.so wayland-decoration-client/libbradient.so
    xcbglintegrations/libqxcb-glx-integration.so xcbglintegrations/libqxcb-egl-integration.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so
    platforminputcontexts/libibusplatforminputcontextplugin.so
)

# The libraries every desktop has, which the bundle takes from the host: the C and C++
# runtimes, fontconfig (and the libraries it brings: a copy of one in the bundle would be loaded
# in place of the host's, under the host's fontconfig), OpenGL, the X11, xcb and Wayland client
# libraries (but not xcb's utility libraries), D-Bus and GLib. What they need is the host's too.
host_sonames=(
    'ld-linux-x86-64\.so\.2' 'lib(c|m|dl|pthread|rt|resolv|util)\.so\.[0-9]+'
    'libstdc\+\+\.so\.6' 'libgcc_s\.so\.1'
    'libfontconfig\.so\.1' 'libfreetype\.so\.6' 'libexpat\.so\.1' 'libpng16\.so\.16' 'libz\.so\.1'
    'libbrotli(common|dec)\.so\.1' 'libbz2\.so\.1\.0'
    'lib(OpenGL|GL|GLX|EGL|GLdispatch)\.so\.[0-9]+'
    'lib(X11|X11-xcb|Xau|Xdmcp|Xext|Xrender|SM|ICE)\.so\.[0-9]+' 'libxcb(-[a-z0-9]+)?\.so\.[0-9]+'
    'libwayland-(client|cursor|egl)\.so\.[0-9]+'
    'libdbus-1\.so\.3' 'lib(glib|gthread|gobject|gmodule|gio)-2\.0\.so\.0'
)
host_regex="^($(IFS='|' && echo "${host_sonames[*]}"))\$"
host_library() {
    [[ "$1" =~ $host_regex ]] && [[ ! "$1" =~ ^libxcb-(icccm|image|keysyms|render-util|util|cursor|ewmh)\. ]]
}

rm -rf -- "$work"
mkdir -p "$top/lib" "$top/plugins" "$top/licenses"

# The files whose packages' copyright the bundle carries.
sources=()
# Copies what ELF file $1 needs into lib/, and so on down, but for the host's libraries.
declare -A copied=()
take_needs() {
    local soname path
    while read -r soname path; do
        [ -z "${copied[$soname]:-}" ] || continue
        host_library "$soname" && continue
        [ -f "$path" ] || die "$1 needs $soname, which is not installed"
        copied[$soname]=$path
        cp -L -- "$path" "$top/lib/$soname"
        sources+=("$path")
        take_needs "$path"
    done < <(needed_paths "$1")
}
# "SONAME PATH" for each library ELF file $1 names (DT_NEEDED), as the loader finds it here.
needed_paths() {
    local needed
    needed=$(readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
    [ -n "$needed" ] || return 0
    LC_ALL=C ldd "$1" | awk -v needed="$needed" '
        BEGIN { n = split(needed, names, "\n"); for (i = 1; i <= n; i++) want[names[i]] = 1 }
        $2 == "=>" && ($1 in want) { print $1, ($3 == "not" ? "" : $3) }'
}

install -m 755 "$program" "$top/vantu-launcher"
"$strip" "$top/vantu-launcher"
take_needs "$program"
for plugin in "${plugins[@]}"; do
    [ -f "$qt_plugins/$plugin" ] || die "no Qt plugin $qt_plugins/$plugin (qt6-wayland installed?)"
    mkdir -p "$top/plugins/$(dirname "$plugin")"
    cp -L -- "$qt_plugins/$plugin" "$top/plugins/$plugin"
    sources+=("$qt_plugins/$plugin")
    take_needs "$qt_plugins/$plugin"
done

# Each file finds the bundle's libraries beside itself, through RUNPATH: the program in lib/,
# the libraries in their own folder, the plugins two folders up.
# shellcheck disable=SC2016  # $ORIGIN is the loader's
patchelf --set-rpath '$ORIGIN/lib' "$top/vantu-launcher"
# shellcheck disable=SC2016
for library in "$top"/lib/*; do patchelf --set-rpath '$ORIGIN' "$library"; done
# shellcheck disable=SC2016
for plugin in "${plugins[@]}"; do patchelf --set-rpath '$ORIGIN/../../lib' "$top/plugins/$plugin"; done
# Qt reads qt.conf beside the program: its plugins are those of the bundle, not the host's.
printf '[Paths]\nPrefix = .\nPlugins = plugins\n' >"$top/qt.conf"

# The newest glibc any file asks for: the bundle promises 2.35.
newest=$(for file in "$top/vantu-launcher" "$top"/lib/* "$top"/plugins/*/*; do
    readelf -V --wide "$file"
done | grep -o 'GLIBC_2\.[0-9]*' | sort -t. -k2,2n -u | tail -n 1)
[ "$(printf '%s\n' "$newest" GLIBC_2.35 | sort -t. -k2,2n | tail -n 1)" = GLIBC_2.35 ] ||
    die "a file of the bundle needs $newest, and the bundle promises glibc 2.35: build it on" \
        "Debian 12, whose libraries need no newer one"

# The licences: each package's copyright file, and a list of the packages with their versions.
owner() { # the package that installed file $1 (merged /usr: it may know the other path)
    local real
    real=$(realpath -- "$1")
    for candidate in "$real" "${real#/usr}" "/usr$real"; do
        dpkg-query -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1 && return
    done
    die "no package owns $1"
}
packages=$(for file in "${sources[@]}"; do owner "$file"; done | LC_ALL=C sort -u)
for package in $packages; do
    cp -L -- "/usr/share/doc/$package/copyright" "$top/licenses/$package.copyright" ||
        die "no copyright file for $package"
    dpkg-query -W -f='${Package} ${Version}\n' "$package" >>"$top/licenses/packages.txt"
done
cp -- "$source_dir/packaging/copyright" "$top/licenses/vantu-launcher.copyright"
cp -- "$source_dir/README.md" "$top/README.md"
# The desktop entry and icons, for a user to put under ~/.local/share: on Wayland the taskbar
# finds the window's icon through them.
mkdir -p "$top/share/applications"
cp -- "$source_dir/packaging/vantu-launcher.desktop" "$top/share/applications/"
for size in 16 32 48; do
    mkdir -p "$top/share/icons/hicolor/${size}x$size/apps"
    cp -- "$source_dir/assets/icon$size.png" "$top/share/icons/hicolor/${size}x$size/apps/vantu-launcher.png"
done

# The same bytes from the same files, whoever packs them and whenever.
find "$top" -type d -exec chmod 755 {} +
find "$top" -type f -exec chmod 644 {} +
chmod 755 "$top/vantu-launcher"
# xz packs blocks of a set size on two threads: twice as fast as one block, about 1 % larger, and
# the same bytes on any number of threads.
tar --sort=name --format=gnu --mtime="@$date" --owner=0 --group=0 --numeric-owner \
    -C "$work" -cf - "$name" | xz -9 --threads=2 --block-size=34MiB --check=crc64 >"$output.part"
mv -- "$output.part" "$output"
echo "make-bundle: $(basename "$output"): $(du -sb "$top" | cut -f1) bytes in" \
    "$(find "$top" -type f | wc -l) files, $(stat -c %s "$output") bytes packed"
