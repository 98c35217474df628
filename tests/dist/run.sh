#!/usr/bin/env bash
# make test-dist: each file of dist/ (make dist) tested as a user would use it,
# in a scratch folder removed afterwards:
#   linux.sh    the four .deb files and the tarball
#   wheel.sh    the Python wheels, each in a fresh virtual environment
#   windows.sh  the zip and the installer in a fresh Wine prefix
# and the version of every place against the header, SHA256SUMS against the
# files, a bill of materials beside each; and `make dist` again
# from a second clone of the same commit (KALPO_DIST_SECOND=0 leaves it out),
# whose files must be byte-identical.  All at once; ends with "N passed, N
# failed".
#   tests/dist/run.sh [DIST_FOLDER]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
dist=$(cd "${1:-$source/dist}" && pwd) || exit 1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-dist.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

passed=0
failed=0
# The checks touch nothing in common (each has its folder, its Wine prefix,
# its port), so they run at once, each into its log; each log is shown, in
# the order they started, once its check has ended.
names=()
pids=()
start() {
  local name=$1
  shift
  names+=("$name")
  (
    started=$SECONDS
    if "$@" >"$scratch/$name.log" 2>&1; then
      echo "passed ($((SECONDS - started)) s)" >"$scratch/$name.result"
    else
      echo "FAILED ($((SECONDS - started)) s)" >"$scratch/$name.result"
    fi
  ) &
  pids+=($!)
}

start version cmake -DSOURCE="$source" -P "$here/version_check.cmake"
start checksums sh -c "cd '$dist' && [ \"\$(wc -l <SHA256SUMS)\" -eq \"\$(ls | grep -vcx SHA256SUMS)\" ] && sha256sum --check --quiet SHA256SUMS"
start boms sh -c "cd '$dist' && for f in *; do case \$f in *.cdx.json|SHA256SUMS) continue;; esac; python3 -c 'import json,sys; b=json.load(open(sys.argv[1])); assert b[\"bomFormat\"] == \"CycloneDX\" and b[\"metadata\"][\"component\"][\"name\"] == sys.argv[2]' \"\$f.cdx.json\" \"\$f\" || exit 1; done"
start linux "$here/linux.sh" "$dist" "$scratch/linux"
start wheel "$here/wheel.sh" "$dist" "$scratch/wheel"
start windows "$here/windows.sh" "$dist" "$scratch/windows"
[ "${KALPO_DIST_SECOND:-1}" = 0 ] || start reproducible "$here/reproducible.sh" "$dist" "$scratch/second"
for i in "${!names[@]}"; do
  wait "${pids[$i]}"
  name=${names[$i]}
  echo "==== $name"
  cat "$scratch/$name.log"
  result=$(cat "$scratch/$name.result")
  echo "==== $name: $result"
  case $result in
    passed*) passed=$((passed + 1)) ;;
    *) failed=$((failed + 1)) ;;
  esac
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
