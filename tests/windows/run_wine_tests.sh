#!/usr/bin/env bash
# Runs the tests of the Windows build under Wine, headless, in a throw-away
# Wine prefix (32-bit), then compares `kalpo.exe demo` with the native
# `kalpo demo` when KALPO_NATIVE_TOOL names the native kalpo, and reports how
# long each part took.
#   [KALPO_NATIVE_TOOL=build/bin/kalpo] tests/windows/run_wine_tests.sh BUILD_FOLDER [ctest arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
shift

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-wine.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers while the prefix is made; no display.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
server=
log=$prefix.ctest.log
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$server" ]; then wait "$server" 2>/dev/null || true; fi
  rm -rf "$prefix" "$log"
}
trap cleanup EXIT

started=$(date +%s)
wineboot --init >/dev/null 2>&1
# One server for all the test programs, instead of one started per program.
wineserver --persistent >/dev/null 2>&1 &
server=$!
prepared=$(date +%s)
status=0
(cd "$build" && ctest --output-on-failure "$@") 2>&1 | tee "$log" || status=$?
tested=$(date +%s)

# kalpo.exe serve, called from this side over loopback.
serve_status=passed
KALPO_TOOL="$build/bin/kalpo.exe" KALPO_TOOL_RUNNER=wine python3 "$here/../serve/wine_check.py" ||
  { status=1 && serve_status=FAILED; }
served=$(date +%s)

compared=skipped
if [ -n "${KALPO_NATIVE_TOOL:-}" ]; then
  "$here/compare_demo.sh" "$KALPO_NATIVE_TOOL" "$build/bin/kalpo.exe" || status=1
  compared="$(($(date +%s) - served)) s"
else
  echo "kalpo demo comparison skipped: KALPO_NATIVE_TOOL does not name the native kalpo"
fi

echo "Wine timings:"
echo "  prefix made        $((prepared - started)) s"
# ctest's own line per test: "  1/3 Test #1: unit_tests .......   Passed   12.34 sec"
sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) [ .*]+([A-Za-z*]+[^0-9]*)([0-9.]+) sec$/  \1 \3 s/p' "$log" |
  awk '{ printf "  %-18s %s s\n", $1, $2 }'
echo "  tests altogether   $((tested - prepared)) s"
echo "  kalpo.exe serve    $((served - tested)) s, $serve_status"
echo "  demo comparison    $compared"
exit $status
