#!/usr/bin/env bash
# Checks that the builds are reproducible and the Linux program hardened: builds the Linux
# program, its Debian package and the Windows program twice, from two clones of the checkout
# (its uncommitted changes included) in two folders of their own, one after the other, and
# compares them byte for byte. Where they differ it names the file and shows the first differing
# bytes (and their section with diffoscope, when it is installed). It then runs hardening-check on the program and lintian on the
# package, and prints the programs' SHA-256 checksums.
#
#   tools/reproducible.sh [WORK_FOLDER]     (default: build/reproducible, made anew)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
work=$(realpath -m "${1:-build/reproducible}")
rm -rf -- "$work"
mkdir -p "$work"

# The checkout as it stands, new files included.
bash tools/checkout-commit.sh reproducible
# The build takes its time stamps from the last commit by itself.
unset SOURCE_DATE_EPOCH

# Builds the three outputs in clone $1 and copies them to $1.out.
build() {
    local clone=$work/$1
    git clone --quiet --no-checkout "$top" "$clone"
    git -C "$clone" fetch --quiet "$top" refs/vantu/reproducible
    git -C "$clone" checkout --quiet --detach FETCH_HEAD
    (
        cd "$clone"
        cmake --preset release -DVANTU_BUILD_TESTS=OFF -DVANTU_BUILD_BENCH=OFF >/dev/null
        cmake --build --preset release -j"$(nproc)" --target vantu-launcher >/dev/null
        (cd build/release && cpack -G DEB >/dev/null)
        cmake --preset windows -DVANTU_BUILD_TESTS=OFF >/dev/null
        cmake --build --preset windows -j"$(nproc)" --target vantu-launcher >/dev/null
    )
    mkdir "$clone.out"
    cp "$clone/build/release/vantu-launcher" "$clone"/build/release/vantu-launcher_*.deb \
        "$clone/build/windows/vantu-launcher.exe" "$clone.out/"
}

started=$SECONDS
build first
build second
echo "reproducible: built twice in $((SECONDS - started)) s"

status=0
for file in "$work/first.out"/*; do
    name=$(basename "$file")
    if cmp -s "$file" "$work/second.out/$name"; then
        echo "reproducible: $name: the same ($(sha256sum "$file" | cut -d' ' -f1))"
        continue
    fi
    status=1
    echo "reproducible: $name differs, $(cmp -l "$file" "$work/second.out/$name" | wc -l || true) bytes; the first (offset, octal bytes):"
    cmp -l "$file" "$work/second.out/$name" | head -n 8 || true
    if command -v diffoscope >/dev/null; then
        diffoscope "$file" "$work/second.out/$name" | head -n 40 || true
    fi
done

# Debian's checks of the hardened program and its package. Control-flow protection is compiled
# in (-fcf-protection), but no program on Debian 12 or 13 can carry its ELF mark: the C library's
# start files lack it, so hardening-check is told not to ask for it.
hardening-check --nocfprotection "$work/first.out/vantu-launcher" || status=1
tags=$(lintian -I --tag-display-limit 0 "$work"/first.out/*.deb 2>&1 | grep -i hardening || true)
[ -z "$tags" ] || { echo "$tags"; status=1; }
[ "$status" -eq 0 ] && echo "reproducible: passed" || echo "reproducible: FAILED"
exit "$status"
