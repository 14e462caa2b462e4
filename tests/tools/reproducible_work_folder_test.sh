#!/usr/bin/env bash
# Checks which folders tools/reproducible.sh may empty: only a work folder it made itself (it
# marks them) or one that does not exist yet; the checkout ("."), a folder above it, someone's
# folder, a file or a link to them are refused with status 2 and left as they were. It runs a
# copy of the script in a scratch checkout whose tools/checkout-commit.sh (the script's next
# step) only records that it was reached, so nothing is built.
#
#   reproducible_work_folder_test.sh --tools DIR
# shellcheck source=../support/e2e_common.sh
source "$(dirname "$0")/../support/e2e_common.sh"
TOOLS=""
parse_options tools -- "$@"
[ -n "$TOOLS" ] || { echo "usage: $0 --tools DIR" >&2; exit 2; }
end_processes() { :; }
start_work vantu-reproducible-folder-test '*.log' 20

# The scratch checkout and the folders around it; the test's own files stay outside.
area=$WORK/area
checkout=$area/checkout
mkdir -p "$checkout/tools" "$area/someones" "$area/marked"
cp "$TOOLS/reproducible.sh" "$checkout/tools/"
printf 'echo reached >"%s/reached"; exit 3\n' "$WORK" >"$checkout/tools/checkout-commit.sh"
echo "the checkout's own file" >"$checkout/keep"
echo "someone's file" >"$area/someones/keep"
echo "a file" >"$area/a-file"
ln -s someones "$area/link"
: >"$area/marked/.vantu-reproducible-work"
echo "left by an earlier run" >"$area/marked/stale"

# Runs the copy with work folder $1, from folder $2 (default: the checkout), which a relative
# folder is taken from. Sets STATUS; the output goes to run.log.
run() {
    rm -f "$WORK/reached"
    STATUS=0
    (cd "${2:-$checkout}" && bash "$checkout/tools/reproducible.sh" "$1") >"$WORK/run.log" 2>&1 ||
        STATUS=$?
}

before=$(folder_listing "$area")
for refused in . "$checkout" .. "$area/someones" "$area/a-file" "$area/link" tools; do
    run "$refused"
    log "[$refused] status $STATUS: $(head -n 1 "$WORK/run.log")"
    [ "$STATUS" -eq 2 ] || check_failed "[$refused] status $STATUS, expected 2"
    [ ! -e "$WORK/reached" ] || check_failed "[$refused] the script went on"
    grep -q 'left alone' "$WORK/run.log" || check_failed "[$refused] no reason given"
    expect_folder_unchanged "[$refused] files changed" "$before" "$area"
done

# Its own folder is emptied and marked again; a new one is made and marked, also one named
# from another folder than the checkout.
mkdir "$WORK/caller"
for accepted in "$area/marked" "$area/new/work" "$WORK/caller/work"; do
    if [ "$accepted" = "$WORK/caller/work" ]; then run work "$WORK/caller"; else run "$accepted"; fi
    if [ "$STATUS" -ne 3 ] || [ ! -e "$WORK/reached" ]; then
        check_failed "[$accepted] status $STATUS: the script did not go on to its next step"
    fi
    expect_same "[$accepted] what the folder holds" ".vantu-reproducible-work" \
        "$(ls -A "$accepted")"
done
finish
