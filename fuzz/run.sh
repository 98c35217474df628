#!/usr/bin/env bash
# Runs each fuzz target for SECONDS from its seed corpus (fuzz/corpus/<target>/,
# and what it found before in BUILD/corpus/<target>/), JOBS targets at a time:
# each is one process on one core.  Prints each target's executions; at a
# finding, the end of that target's log, and fails.
#   fuzz/run.sh BUILD SECONDS JOBS TARGET...
set -euo pipefail
cd "$(dirname "$0")/.."
export FUZZ_BUILD=$1 FUZZ_SECONDS=$2
jobs=$3
shift 3

run_one() {
  local target=$1 log=$FUZZ_BUILD/$1.log
  mkdir -p "$FUZZ_BUILD/corpus/$target"
  if "$FUZZ_BUILD/bin/$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$FUZZ_BUILD/$target-" "$FUZZ_BUILD/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    echo "$target: $(grep -o 'number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$') executions"
  else
    tail -60 "$log"
    echo "$target: finding (see $log)"
    return 1
  fi
}
export -f run_one
# xargs runs them JOBS at a time and fails when any of them fails.
printf '%s\n' "$@" | xargs -P "$jobs" -I{} bash -c 'run_one "$1"' _ {}
