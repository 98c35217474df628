#!/usr/bin/env bash
# make dist from a second clone of the same commit, in another folder: every
# file byte-identical to the first's.  The compiler cache the first filled
# makes it quick; the packages, archives, manual pages and links are made
# anew, and a clone elsewhere (in a folder whose path holds a space) shows any
# path or time that leaks in, and that the build takes such a path.
# With CCACHE_DISABLE=1 (make test-reproducible-nocache) the second build
# compiles everything anew: what a build without the cache would differ in.
#   tests/dist/reproducible.sh DIST_FOLDER WORK_FOLDER
set -uo pipefail
. "$(dirname "$0")/common.sh"
dist=$1
work=$2
if [ -n "$(git -C "$source_dir" status --porcelain --untracked-files=no)" ]; then
  fail "the source tree has uncommitted changes: the second clone would not build the same commit"
  finish
  exit
fi
git clone --quiet --no-hardlinks "$source_dir" "$work/second clone" || exit 1
started=$SECONDS
make -C "$work/second clone" dist DIST="$work/dist" >"$work/dist.log" 2>&1 || {
  tail -30 "$work/dist.log"
  exit 1
}
echo "  second make dist: $((SECONDS - started)) s"
for file in "$dist"/*; do
  name=$(basename "$file")
  if cmp -s "$file" "$work/dist/$name"; then
    echo "  ok: $name is byte-identical"
  else
    fail "$name differs between the two builds"
  fi
done
[ "$(ls "$dist")" = "$(ls "$work/dist")" ] || fail "the two builds made different files: $(ls "$work/dist")"
finish
