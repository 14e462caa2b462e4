#!/usr/bin/env bash
# Makes the checkout as it stands, uncommitted changes and new files included, into one commit on
# top of HEAD, kept on the private ref refs/vantu/NAME (the index and the work tree are not
# touched), so that a clone can fetch exactly what is being tested or built.
#
#   tools/checkout-commit.sh NAME     prints nothing; fetch refs/vantu/NAME from the checkout
#
# The commit needs nothing of the user's: it carries its own author and committer (a fresh
# machine has no git identity, and git commit-tree would stop there) and HEAD's date, so the same
# checkout always gives the same commit, and a build from it is dated as one from HEAD.
# Run as root in a checkout that belongs to another user (sudo tools/test.sh), it runs as that
# user: git writes objects and refs into the checkout's .git, and a root-owned file there would
# make the owner's next git commit fail. Such files, left by older versions of the tools run
# through sudo, are given back to the owner when root runs it; run by the owner, it stops with
# the command that gives them back.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 1 ] || { echo "usage: checkout-commit.sh NAME" >&2; exit 2; }

owner=$(stat -c %u .)
git_dirs=("$(git rev-parse --path-format=absolute --git-common-dir)")
git_dirs+=("$(git rev-parse --path-format=absolute --git-dir)")
others=$(find "${git_dirs[@]}" ! -uid "$owner" -print -quit 2>/dev/null) || true
if [ -n "$others" ]; then
    if [ "$(id -u)" -eq 0 ]; then
        find "${git_dirs[@]}" ! -uid "$owner" -exec chown -h "$owner:$(stat -c %g .)" {} +
    else
        echo "checkout-commit: $others and maybe more in this checkout's git folder belong to" \
            "another user (left by a run through sudo); give them back with:" \
            "sudo chown -R $(id -un): ${git_dirs[0]@Q}" >&2
        exit 1
    fi
fi
if [ "$(id -u)" -eq 0 ] && [ "$owner" -ne 0 ]; then
    # The owner's own home and groups when the system knows the owner; git reads its settings
    # (filters for git add among them) from there, as in the owner's own runs.
    if account=$(getent passwd "$owner"); then
        IFS=: read -r name _ _ gid _ home _ <<<"$account"
        exec setpriv --reuid="$owner" --regid="$gid" --init-groups \
            env HOME="$home" USER="$name" LOGNAME="$name" bash "$PWD/tools/checkout-commit.sh" "$1"
    fi
    exec setpriv --reuid="$owner" --regid="$(stat -c %g .)" --clear-groups \
        env HOME=/nonexistent bash "$PWD/tools/checkout-commit.sh" "$1"
fi

index=$(mktemp)
trap 'rm -f "$index"' EXIT
cp "$(git rev-parse --git-path index)" "$index"
GIT_INDEX_FILE=$index git add -A
date=$(git log -1 --format=%cd --date=raw HEAD)
commit=$(GIT_AUTHOR_NAME="vantu tools" GIT_AUTHOR_EMAIL=tools@vantu.invalid \
    GIT_AUTHOR_DATE="$date" GIT_COMMITTER_NAME="vantu tools" \
    GIT_COMMITTER_EMAIL=tools@vantu.invalid GIT_COMMITTER_DATE="$date" \
    git commit-tree --no-gpg-sign -p HEAD -m "the checkout as it stood" \
    "$(GIT_INDEX_FILE=$index git write-tree)")
git update-ref "refs/vantu/$1" "$commit"
