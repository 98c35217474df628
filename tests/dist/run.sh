#!/usr/bin/env bash
# make test-dist: each file of dist/ (make dist) tested as a user would use it,
# in a scratch folder removed afterwards:
#   linux.sh    the two .deb files and the tarball
#   wheel.sh    the Python wheel in a fresh virtual environment
#   windows.sh  the zip in a fresh Wine prefix
# and the version of every place against the header; then `make dist` again
# from a second clone of the same commit (KALPO_DIST_SECOND=0 leaves it out),
# whose files must be byte-identical.  Ends with "N passed, N failed".
#   tests/dist/run.sh [DIST_FOLDER]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
dist=$(cd "${1:-$source/dist}" && pwd) || exit 1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-dist.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

passed=0
failed=0
run() {
  local name=$1 started=$SECONDS
  shift
  echo "==== $name"
  if "$@"; then
    passed=$((passed + 1))
    echo "==== $name: passed ($((SECONDS - started)) s)"
  else
    failed=$((failed + 1))
    echo "==== $name: FAILED ($((SECONDS - started)) s)"
  fi
}

run version cmake -DSOURCE="$source" -P "$here/version_check.cmake"
run linux "$here/linux.sh" "$dist" "$scratch/linux"
run wheel "$here/wheel.sh" "$dist" "$scratch/wheel"
run windows "$here/windows.sh" "$dist" "$scratch/windows"
[ "${KALPO_DIST_SECOND:-1}" = 0 ] || run reproducible "$here/reproducible.sh" "$dist" "$scratch/second"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
