#!/usr/bin/env bash
# Runs the tests of the Windows build under Wine, headless, in a throw-away
# Wine prefix (32-bit), and reports how long they took.
#   tests/windows/run_wine_tests.sh BUILD_FOLDER [ctest arguments...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-wine.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers while the prefix is made; no display.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
server=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$server" ]; then wait "$server" 2>/dev/null || true; fi
  rm -rf "$prefix"
}
trap cleanup EXIT

started=$(date +%s)
wineboot --init >/dev/null 2>&1
# One server for all the test programs, instead of one started per program.
wineserver --persistent >/dev/null 2>&1 &
server=$!
prepared=$(date +%s)
status=0
(cd "$build" && ctest --output-on-failure "$@") || status=$?
finished=$(date +%s)
echo "Wine: prefix made in $((prepared - started)) s, tests ran in $((finished - prepared)) s"
exit $status
