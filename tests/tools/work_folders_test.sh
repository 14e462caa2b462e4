#!/usr/bin/env bash
# Checks which folders the tools may empty: tools/reproducible.sh its work folder and
# tools/debian13.sh its Debian root, each only a folder it made itself (they mark them), one that
# does not exist yet or, for the root, an empty one; the checkout ("."), a folder above it,
# someone's folder, a file or a link to them are refused and left as they were. A relative folder
# is taken from the caller's folder. And one run at a time: while another run holds the
# checkout's lock, a tool stops at once and says so. It runs copies of the scripts in a scratch
# checkout where their next step only records that it was reached (reproducible.sh's
# tools/checkout-commit.sh, debian13.sh's mmdebstrap), so nothing is built.
#
#   work_folders_test.sh --tools DIR
# shellcheck source=../support/e2e_common.sh
source "$(dirname "$0")/../support/e2e_common.sh"
TOOLS=""
parse_options tools -- "$@"
[ -n "$TOOLS" ] || { echo "usage: $0 --tools DIR" >&2; exit 2; }
end_processes() { :; }
start_work vantu-work-folders-test '*.log' 20

# The scratch checkout and the folders around it; the test's own files stay outside. The next
# steps, and sudo (which debian13.sh would use, run by a user, on a root it made as root), are
# stand-ins on PATH.
area=$WORK/area
checkout=$area/checkout
mkdir -p "$checkout/tools" "$checkout/build" "$area/someones" "$area/marked" "$area/marked-root" \
    "$area/stamped-root" "$area/empty" "$WORK/bin" "$WORK/caller"
cp "$TOOLS/reproducible.sh" "$TOOLS/debian13.sh" "$TOOLS/checkout-lock.sh" \
    "$TOOLS/install-deps.sh" "$checkout/tools/"
printf 'echo reached >"%s/reached"; exit 3\n' "$WORK" >"$checkout/tools/checkout-commit.sh"
printf '#!/bin/sh\necho reached >"%s/reached"; exit 3\n' "$WORK" >"$WORK/bin/mmdebstrap"
printf '#!/bin/sh\n[ "$1" != -n ] || shift\nexec "$@"\n' >"$WORK/bin/sudo"
chmod 755 "$WORK/bin/mmdebstrap" "$WORK/bin/sudo"
echo "the checkout's own file" >"$checkout/keep"
: >"$checkout/build/.tools.lock"
echo "someone's file" >"$area/someones/keep"
echo "a file" >"$area/a-file"
ln -s someones "$area/link"
: >"$area/marked/.vantu-reproducible-work"
: >"$area/marked-root/.vantu-debian13-root"
echo "an older version's stamp" >"$area/stamped-root/.vantu-deps"
for made in marked marked-root stamped-root; do echo "left by an earlier run" >"$area/$made/stale"; done

# Runs the copy of tool $1 with folder $2, from folder $3 (default: the checkout), which a
# relative folder is taken from. Sets STATUS; the output goes to run.log.
run() {
    rm -f "$WORK/reached"
    STATUS=0
    if [ "$1" = reproducible ]; then
        (cd "${3:-$checkout}" && bash "$checkout/tools/reproducible.sh" "$2")
    else
        (cd "${3:-$checkout}" && PATH=$WORK/bin:$PATH VANTU_DEBIAN13_ROOT=$2 \
            bash "$checkout/tools/debian13.sh" --root-only)
    fi >"$WORK/run.log" 2>&1 || STATUS=$?
}

before=$(folder_listing "$area")
for tool in reproducible debian13; do
    for refused in . "$checkout" .. "$area/someones" "$area/a-file" "$area/link" tools; do
        run "$tool" "$refused"
        log "[$tool $refused] status $STATUS: $(head -n 1 "$WORK/run.log")"
        [ "$STATUS" -ne 0 ] || check_failed "[$tool $refused] status 0"
        [ ! -e "$WORK/reached" ] || check_failed "[$tool $refused] the script went on"
        grep -q 'left alone' "$WORK/run.log" || check_failed "[$tool $refused] no reason given"
        expect_folder_unchanged "[$tool $refused] files changed" "$before" "$area"
    done
done

# Its own folder is emptied and marked again; a new one is made and marked, also one named
# from another folder than the checkout.
for accepted in reproducible:marked reproducible:new/work reproducible:caller-work \
    debian13:marked-root debian13:stamped-root debian13:empty debian13:new/root; do
    tool=${accepted%%:*} folder=$area/${accepted#*:} mark=.vantu-debian13-root
    [ "$tool" = debian13 ] || mark=.vantu-reproducible-work
    if [ "$accepted" = reproducible:caller-work ]; then
        folder=$WORK/caller/work
        run "$tool" work "$WORK/caller"
    else
        run "$tool" "$folder"
    fi
    if [ "$STATUS" -eq 0 ] || [ ! -e "$WORK/reached" ]; then
        check_failed "[$accepted] status $STATUS: the script did not go on to its next step"
    fi
    expect_same "[$accepted] what the folder holds" "$mark" "$(ls -A "$folder")"
done

# One run at a time: another run holds the checkout's lock.
exec {lock}>"$checkout/build/.tools.lock"
flock "$lock"
for tool in reproducible debian13; do
    run "$tool" "$area/new/$tool"
    [ "$STATUS" -eq 75 ] && [ ! -e "$WORK/reached" ] && grep -q 'another run' "$WORK/run.log" ||
        check_failed "[$tool while another run holds the lock] status $STATUS: $(cat "$WORK/run.log")"
done
exec {lock}>&-
finish
