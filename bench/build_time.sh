#!/usr/bin/env bash
# The demo's build, timed: configures a fresh tree as `make demo` does (build
# type Demo, no tests) but with Ninja, builds the tool and what it needs, and
# prints the wall time, the compiler time in all and the ten longest units
# from Ninja's log.  No compiler cache is used, so the figures are the
# compiler's own.
#   bench/build_time.sh [TREE]     (default: a temporary folder, removed after)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v ninja >/dev/null || { echo "build_time: needs ninja (apt-get install ninja-build)" >&2; exit 2; }

tree=${1:-}
if [ -z "$tree" ]; then
  tree=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-build-time.XXXXXX")
  trap 'rm -rf "$tree"' EXIT
elif [ -e "$tree" ]; then
  echo "build_time: $tree exists; give a new folder" >&2
  exit 2
fi
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

CCACHE_DISABLE=1 cmake -G Ninja -S . -B "$tree" -DCMAKE_BUILD_TYPE=Demo -DCMAKE_CXX_FLAGS_DEMO=-DNDEBUG \
  -DCMAKE_C_FLAGS_DEMO=-DNDEBUG -DKALPO_TESTS=OFF -DKALPO_REPLAY=OFF >/dev/null
started=$(date +%s.%N)
TIMEFORMAT='%U %S'
usage=$( { time CCACHE_DISABLE=1 cmake --build "$tree" -j "$jobs" --target kalpo_tool >/dev/null; } 2>&1 | tail -1)
ended=$(date +%s.%N)

# .ninja_log: start and end in milliseconds, then the output; the last entry
# of each output is the one that counts.  Links are left out: compile units only.
units=$(awk 'NR > 1 && $4 ~ /\.(o|obj|gch|pch)$/ { ms[$4] = $2 - $1 } END { for (u in ms) printf "%.1f %s\n", ms[u] / 1000, u }' \
  "$tree/.ninja_log" | sort -rn)
echo "jobs: $jobs"
printf 'wall: %.1f s\n' "$(echo "$ended - $started" | bc)"
printf 'compiler time (Ninja log, all units): %.1f s\n' "$(awk '{ t += $1 } END { print t }' <<<"$units")"
printf 'user+system time of the build: %.1f s\n' "$(awk '{ print $1 + $2 }' <<<"$usage")"
echo "ten longest units:"
head -10 <<<"$units" | awk '{ printf "  %6.1f s  %s\n", $1, $2 }'
