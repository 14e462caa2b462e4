#!/usr/bin/env bash
# The Debian package that cpack makes of this build: its name, files and relations, no error
# from lintian, its desktop entry valid and its icon where the entry's Icon= finds it, and the command line of the program it installs, run with no display: the help,
# the version, an unknown option, Qt's options, and game folders that cannot be entered.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
require_tools cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate identify

# The launcher is built in the build's top folder, beside CPackConfig.cmake.
build=$(dirname "$LAUNCHER")
[ -f "$build/CPackConfig.cmake" ] || die "no CPackConfig.cmake in $build"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$WORK/package" >"$WORK/cpack.log" 2>&1 ||
    die "cpack failed"
deb=$(echo "$WORK"/package/vantu-launcher_*_"$(dpkg --print-architecture)".deb)
[ -f "$deb" ] || die "cpack made no single package: $(ls "$WORK/package")"
version=$(dpkg-deb -f "$deb" Version)
log "made $(basename "$deb")"

# Every file with its mode and owner.
expected_files="-rw-r--r-- root/root ./usr/share/applications/vantu-launcher.desktop
-rw-r--r-- root/root ./usr/share/doc/vantu-launcher/README.md
-rw-r--r-- root/root ./usr/share/doc/vantu-launcher/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/vantu-launcher/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/16x16/apps/vantu-launcher.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/32x32/apps/vantu-launcher.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/vantu-launcher.png
-rw-r--r-- root/root ./usr/share/man/man1/vantu-launcher.1.gz
-rwxr-xr-x root/root ./usr/bin/vantu-launcher"
expect_same "the package's files differ" "$expected_files" \
    "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | LC_ALL=C sort)"

# The libraries' packages come from dpkg-shlibdeps; the rest is the package's own.
depends=$(dpkg-deb -f "$deb" Depends)
log "Depends: $depends"
for dependency in libc6 libqt6widgets6 libx11-6; do
    grep -qE "(^|, )$dependency( |,|\$)" <<<"$depends" || check_failed "Depends has no $dependency"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *qt6-wayland* ]] || check_failed "qt6-wayland not recommended"
for field in Maintainer Section Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || check_failed "no $field"
done

lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || check_failed "lintian found errors"
grep -v '^running with root privileges' "$WORK/lintian.log" | sed 's/^/    lintian: /' || true

dpkg -x "$deb" "$WORK/root"
# The desktop entry, hidden from the menu, named as the window's Wayland app id (which the
# Wayland window tests check), with an icon of that name in the hicolor theme of each size.
entry=$WORK/root/usr/share/applications/vantu-launcher.desktop
desktop-file-validate "$entry" >"$WORK/validate.log" 2>&1 ||
    check_failed "desktop-file-validate: $(cat "$WORK/validate.log")"
[ -z "$(cat "$WORK/validate.log")" ] || check_failed "desktop-file-validate: $(cat "$WORK/validate.log")"
entry_key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(entry_key NoDisplay)" = true ] || check_failed "the desktop entry is not NoDisplay=true"
[ "$(entry_key Name)" = "Vantu2: Copper Winds launcher" ] || check_failed "Name=$(entry_key Name)"
[ "$(entry_key Exec)" = vantu-launcher ] || check_failed "Exec=$(entry_key Exec)"
for size in 16 32 48; do
    icon=$WORK/root/usr/share/icons/hicolor/${size}x$size/apps/$(entry_key Icon).png
    [ "$(identify -format %wx%h "$icon" 2>&1)" = "${size}x$size" ] ||
        check_failed "no ${size}x$size icon for Icon=$(entry_key Icon)"
done
program=$WORK/root/usr/bin/vantu-launcher
mkdir -p "$WORK/home"
: >"$WORK/a-file"
# The installed program with no display at all. Sets STATUS, OUT and ERR.
run_installed() {
    STATUS=0
    env -i HOME="$WORK/home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$program" "$@" \
        >"$WORK/out" 2>"$WORK/err" || STATUS=$?
    OUT=$(cat "$WORK/out") ERR=$(cat "$WORK/err")
}
run_installed --help
help=$OUT
[[ "$help" == "Usage: vantu-launcher [OPTION]... [GAME_FOLDER]"$'\n'* ]] ||
    check_failed "--help printed: $help"

# arguments | status | standard output | standard error (HELP: the help's text, +HELP: a line
# end and the help's text; a last "*": it begins so)
while IFS='|' read -r arguments status out err; do
    # shellcheck disable=SC2086  # the arguments are words
    run_installed $arguments
    log "[$arguments] status $STATUS: $(head -n 1 <<<"$OUT$ERR")"
    [ "$STATUS" -eq "$status" ] || check_failed "[$arguments] status $STATUS, expected $status"
    [ "$OUT" = "${out/#HELP/$help}" ] || check_failed "[$arguments] stdout '$OUT', expected '$out'"
    err=${err//+HELP/$'\n'$help}
    if [[ "$err" == *\* ]]; then
        [[ "$ERR" == "${err%\*}"* ]] || check_failed "[$arguments] stderr '$ERR', expected '$err'"
    else
        [ "$ERR" = "$err" ] || check_failed "[$arguments] stderr '$ERR', expected '$err'"
    fi
done <<EOF_CASES
--help|0|HELP|
--version|0|vantu-launcher $version|
--bogus|2||vantu-launcher: unknown option '--bogus'+HELP
--no-such-option|2||vantu-launcher: unknown option '--no-such-option'+HELP
-style fusion $WORK|1||vantu-launcher: cannot open*
-style|2||vantu-launcher: the option '-style' needs a value+HELP
$WORK/missing|2||vantu-launcher: cannot enter the game folder '$WORK/missing': No such file or directory
$WORK/a-file|2||vantu-launcher: cannot enter the game folder '$WORK/a-file': Not a directory
EOF_CASES
finish
