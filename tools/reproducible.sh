#!/usr/bin/env bash
# Checks that the builds are reproducible and the Linux program hardened: builds the Linux
# program, its Debian package, its portable bundle and the Windows program twice, from two clones of the checkout
# (its uncommitted changes included), one after the other, and compares them byte for byte.
# The two builds differ in all a builder may bring along:
#   first:  build folders inside the clone, TZ=UTC, LC_ALL=C, umask 022, and a builder's own
#           dpkg settings (DEB_BUILD_OPTIONS=noopt, DEB_*FLAGS_*, a buildflags.conf), which
#           must not reach the program;
#   second: build folders outside the clone, no dpkg-buildflags, TZ=Pacific/Chatham,
#           LC_ALL=C.UTF-8, umask 077, and a clock years ahead (faketime, where installed).
# Where they differ it names the file and shows the first differing bytes (and their section
# with diffoscope, when it is installed). It then checks that no output holds a path of the
# build (also in debug information), that the package is dated by the last commit when it is
# made (after a new commit, and from a source tarball without .git), runs hardening-check on
# the program and lintian on the package, and prints the outputs' SHA-256 checksums.
#
#   tools/reproducible.sh [WORK_FOLDER]     (default: build/reproducible)
#
# WORK_FOLDER (taken from the caller's folder) is made, or emptied when this script made it
# before (it marks its folders); any other existing file or folder is refused and left alone.
set -euo pipefail
# shellcheck source=checkout-lock.sh
source "$(dirname "$0")/checkout-lock.sh"
hold_checkout_lock "$@"
[ $# -eq 0 ] || work=$(realpath -m -- "$1")
cd "$(dirname "$0")/.."
top=$PWD
work=${work:-$top/build/reproducible}
marker=.vantu-reproducible-work
if [ -e "$work" ] || [ -L "$work" ]; then
    if [ ! -f "$work/$marker" ]; then
        echo "reproducible: $work already exists and is no work folder of this script" \
             "(it has no $marker): it is left alone; name a new folder, or remove it" \
             "yourself (older versions of this script left no mark)" >&2
        exit 2
    fi
    rm -rf -- "$work"
fi
mkdir -p "$work"
: >"$work/$marker"

# The checkout as it stands, new files included.
bash tools/checkout-commit.sh reproducible
# The build takes its time stamps from the last commit by itself.
unset SOURCE_DATE_EPOCH

# The first build's builder: dpkg settings that would turn the hardening off and the
# optimisation down, were the project to take its flags from the builder's dpkg-buildflags.
mkdir -p "$work/first.config/dpkg"
echo "APPEND CXXFLAGS -fno-stack-protector" >"$work/first.config/dpkg/buildflags.conf"
first_env=(env TZ=UTC LC_ALL=C XDG_CONFIG_HOME="$work/first.config" DEB_BUILD_OPTIONS=noopt
    DEB_CPPFLAGS_APPEND=-U_FORTIFY_SOURCE "DEB_LDFLAGS_STRIP=-Wl,-z,now")
# The second build's builder has no dpkg-buildflags: each command runs in a mount namespace of
# its own (in a user namespace too, when not root) where an empty file without x bits lies over
# it, so that neither PATH nor CMake's search finds it.
second_env=()
if dpkg_buildflags=$(command -v dpkg-buildflags); then
    : >"$work/not-a-program"
    second_env=(unshare --mount)
    [ "$(id -u)" -eq 0 ] || second_env+=(--map-root-user)
    # shellcheck disable=SC2016  # expanded by that shell
    second_env+=(sh -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' hide
        "$work/not-a-program" "$dpkg_buildflags")
fi
second_env+=(env TZ=Pacific/Chatham LC_ALL=C.UTF-8)
if command -v faketime >/dev/null; then
    second_env+=("$(command -v faketime)" -f +2000d)
else
    echo "reproducible: faketime is not installed: both builds run on today's clock"
fi

# Builds the outputs in clone $1, with the build folders under $2, umask $3, each command
# run through the rest of the arguments, and copies them to $1.out; the log goes to $1.log.
build() {
    local name=$1 builds=$2 mask=$3
    shift 3
    local clone=$work/$name
    mkdir "$work/$name.out"
    git clone --quiet --no-checkout "$top" "$clone"
    git -C "$clone" fetch --quiet "$top" refs/vantu/reproducible
    git -C "$clone" checkout --quiet --detach FETCH_HEAD
    # (&& throughout: a caller's || turns set -e off in here.)
    if ! (
        cd "$clone" && umask "$mask" &&
        "$@" cmake --preset release -B "$builds/release" \
            -DVANTU_BUILD_TESTS=OFF -DVANTU_BUILD_BENCH=OFF &&
        "$@" cmake --build "$builds/release" -j"$(nproc)" --target vantu-launcher &&
        (cd "$builds/release" && "$@" cpack -G DEB) &&
        { [ "$bundle" = 0 ] || "$@" cmake --build "$builds/release" --target bundle; } &&
        "$@" cmake --preset windows -B "$builds/windows" -DVANTU_BUILD_TESTS=OFF &&
        "$@" cmake --build "$builds/windows" -j"$(nproc)" --target vantu-launcher
    ) >"$work/$name.log" 2>&1; then
        tail -n 30 "$work/$name.log"
        echo "reproducible: the $name build failed (log: $work/$name.log)"
        return 1
    fi
    cp "$builds/release/vantu-launcher" "$builds"/release/vantu-launcher_*.deb \
        "$builds/windows/vantu-launcher.exe" "$work/$name.out/"
    [ "$bundle" = 0 ] || cp "$builds"/release/vantu-launcher-*-linux-x86_64.tar.xz "$work/$name.out/"
}

# The portable bundle is made on Debian 12 only (tools/make-bundle.sh).
bundle=0
# shellcheck source=/dev/null
[ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != bookworm ] || bundle=1

status=0
began=$SECONDS
started=$SECONDS
build first "$work/first/build" 022 "${first_env[@]}" || status=1
build second "$work/elsewhere" 077 "${second_env[@]}" || status=1
echo "reproducible: built twice in $((SECONDS - started)) s"

for name in $({ ls "$work/first.out"; ls "$work/second.out"; } | sort -u); do
    file=$work/first.out/$name
    if [ ! -f "$file" ] || [ ! -f "$work/second.out/$name" ]; then
        echo "reproducible: $name: made by one build only"
        status=1
    elif cmp -s "$file" "$work/second.out/$name"; then
        echo "reproducible: $name: the same ($(sha256sum "$file" | cut -d' ' -f1))"
    else
        status=1
        echo "reproducible: $name differs, $(cmp -l "$file" "$work/second.out/$name" | wc -l || true) bytes; the first (offset, octal bytes):"
        cmp -l "$file" "$work/second.out/$name" | head -n 8 || true
        if command -v diffoscope >/dev/null; then
            diffoscope "$file" "$work/second.out/$name" | head -n 40 || true
        fi
    fi
done
if grep -q 'differ from dpkg-buildflags' "$work/first.log"; then
    grep -A 8 'differ from dpkg-buildflags' "$work/first.log"
    status=1
fi

# No path of the build in the outputs, nor in the debug information a -g build would ship:
# every source the second build compiles from its build folder (moc's and rcc's files) and
# one from the clone, compiled again with -g as the build compiles it.
found=$(grep -l -F "$work" "$work"/first.out/* "$work"/second.out/* || true)
[ -z "$found" ] || { echo "reproducible: a path of the build in: $found"; status=1; }
mkdir "$work/debug-info"
for builds in "$work/elsewhere/release" "$work/elsewhere/windows"; do
    [ -f "$builds/compile_commands.json" ] || continue
    python3 - "$builds/compile_commands.json" "$builds" "$work/debug-info" <<'EOF' >"$work/debug-info.sh"
import json, shlex, sys
commands, builds, out = json.load(open(sys.argv[1])), sys.argv[2], sys.argv[3]
picked = [c for c in commands if c["file"].startswith(builds + "/")]
picked += [c for c in commands if not c["file"].startswith(builds + "/")][:1]
for number, c in enumerate(picked):
    words = shlex.split(c["command"])
    at = words.index("-o")
    words[at + 1] = "%s/%s-%d.o" % (out, builds.rsplit("/", 1)[1], number)
    print("cd %s && %s -g" % (shlex.quote(c["directory"]), shlex.join(words)))
EOF
    bash -e "$work/debug-info.sh" || { echo "reproducible: compiling with -g failed"; status=1; }
done
found=$(grep -l -F "$work" "$work"/debug-info/*.o 2>/dev/null || true)
if [ -n "$found" ]; then
    echo "reproducible: a path of the build in the debug information of:"
    for object in $found; do
        echo "  $object: $(strings "$object" | grep -F "$work" | sort -u | head -n 3 | tr '\n' ' ')"
    done
    status=1
fi

# The package is dated by the last commit when cpack makes it, also in a build folder
# configured before that commit; from a source tarball (no .git) by the date that git archive
# writes into .source-date-epoch, or SOURCE_DATE_EPOCH; with neither, cpack fails.
package_date() { # prints the dates of the package $1's files, one a line (UTC)
    dpkg-deb --fsys-tarfile "$1" | TZ=UTC tar -tv --full-time | awk '{ print $4 " " $5 }' | sort -u
}
# Makes the package of the first build into folder $1 and checks that its files are dated $2
# (seconds since 1970); the rest of the arguments go before cpack (an environment).
check_package_date() {
    local into=$work/dated/$1 expected
    expected=$(TZ=UTC date -d "@$2" '+%F %T')
    shift 2
    (cd "$work/first/build/release" && "$@" cpack -G DEB -B "$into") >"$into.log" 2>&1 ||
        { cat "$into.log"; echo "reproducible: cpack failed ($into)"; status=1; return 0; }
    local dates
    dates=$(package_date "$into"/*.deb)
    [ "$dates" = "$expected" ] ||
        { echo "reproducible: $(basename "$into"): files dated $dates, not $expected"; status=1; }
    grep 'are dated' "$into.log" | sed 's/^/  /' || true
}
mkdir "$work/dated"
if [ -f "$work/first/build/release/CPackConfig.cmake" ]; then
    commit_date=$(($(git -C "$work/first" log -1 --format=%ct) + 100000))
    GIT_COMMITTER_DATE="@$commit_date +0000" git -C "$work/first" -c user.name=reproducible \
        -c user.email=reproducible@localhost commit --quiet --allow-empty -m "a later commit"
    cmake --build "$work/first/build/release" --target vantu-launcher >/dev/null
    check_package_date after-commit "$commit_date"
    # The clone as a tarball of that commit has it: .source-date-epoch filled in, no .git.
    git -C "$work/first" archive HEAD .source-date-epoch | tar -x -m -C "$work/first" ||
        { echo "reproducible: no .source-date-epoch in the commit"; status=1; }
    mv "$work/first/.git" "$work/first.git-aside"
    check_package_date tarball "$commit_date"
    check_package_date tarball-given 1234567890 env SOURCE_DATE_EPOCH=1234567890
    rm -f "$work/first/.source-date-epoch"
    if (cd "$work/first/build/release" && cpack -G DEB -B "$work/dated/undated") \
        >"$work/dated/undated.log" 2>&1; then
        echo "reproducible: cpack made a package with no date to give it"
        status=1
    fi
    mv "$work/first.git-aside" "$work/first/.git"
fi

# Debian's checks of the hardened program and its package. Control-flow protection is compiled
# in (-fcf-protection), but no program on Debian 12 or 13 can carry its ELF mark: the C library's
# start files lack it, so hardening-check is told not to ask for it.
hardening-check --nocfprotection "$work/first.out/vantu-launcher" || status=1
lintian_status=0
lintian -I --tag-display-limit 0 "$work"/first.out/vantu-launcher_*.deb >"$work/lintian.log" 2>&1 ||
    lintian_status=$?
if [ "$lintian_status" -ne 0 ]; then
    # 1: errors in the package; more (or 127, no lintian): lintian itself failed.
    echo "reproducible: lintian ended with status $lintian_status"
    tail -n 20 "$work/lintian.log"
    status=1
fi
tags=$(grep -i hardening "$work/lintian.log" || true)
[ -z "$tags" ] || { echo "$tags"; status=1; }
echo "reproducible: all checks took $((SECONDS - began)) s"
[ "$status" -eq 0 ] && echo "reproducible: passed" || echo "reproducible: FAILED"
exit "$status"
