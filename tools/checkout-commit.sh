#!/usr/bin/env bash
# Makes the checkout as it stands, uncommitted changes and new files included, into one commit on
# top of HEAD, kept on the private ref refs/vantu/NAME (the index and the work tree are not
# touched), so that a clone can fetch exactly what is being tested or built.
#
#   tools/checkout-commit.sh NAME     prints nothing; fetch refs/vantu/NAME from the checkout
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 1 ] || { echo "usage: checkout-commit.sh NAME" >&2; exit 2; }
index=$(mktemp)
trap 'rm -f "$index"' EXIT
cp "$(git rev-parse --git-path index)" "$index"
GIT_INDEX_FILE=$index git add -A
commit=$(git commit-tree -p HEAD -m "the checkout as it stood" \
    "$(GIT_INDEX_FILE=$index git write-tree)")
git update-ref "refs/vantu/$1" "$commit"
